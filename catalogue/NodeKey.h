// The registry key a node of the registration tree stands for, for the
// commands that hand a key to other programs: the registry editor opened at
// it, its path copied.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"
#include "catalogue/TreeModel.h"

#include <string>

namespace qob {

// A key below HKEY_CLASSES_ROOT as a path in its view ("CLSID\{...}" for
// both views of a class).
struct KeyInView {
    std::string path;
    RegistryView view = RegistryView::Native;
};

// The key of the node's group: for a node of the CLSID group or of a server
// group, the class key in the entry's class view; for the TypeLib group, the
// type library key; for the entry and its description, the ProgID key. An
// id that is no single key name gives the ProgID key too.
KeyInView KeyOfNode(const TTreeNode& node);

// The key when it is there, else its nearest parent that is (a key deleted
// meanwhile); the root itself, an empty path, when none is.
KeyInView NearestExistingKey(KeyStore& store, KeyInView key);

// "HKEY_CLASSES_ROOT\<the key as the system names it>".
std::string ClassesRootPath(const KeyInView& key);

// The key as the registry editor's address bar names it: the editor's word
// for the computer, then ClassesRootPath; without a word, ClassesRootPath
// alone.
std::string RegistryEditorPath(const std::string& computer, const KeyInView& key);

}  // namespace qob

// A key of the sections beside the ProgIDs (classes, type libraries,
// interfaces), a shell extension handler or a file type that the
// examination found broken, and why.
#pragma once

#include "catalogue/KeyHives.h"
#include "catalogue/RegistryView.h"

#include <string>
#include <vector>

namespace qob {

enum class SectionKind { Class, TypeLibrary, Interface, ShellExtension, FileType };

enum class BreakReason {
    MissingServer,        // every server path of the class names no file
    MissingFile,          // every file of the type library is missing
    UnregisteredTypeLib,  // the interface's type library has no key
    UnregisteredClass,    // the interface's proxy class has no key in either view
    MissingClass,         // the shell extension handler's class has no key in either view
    MissingProgId,        // the file type's default value names no key below the root
};

// One broken key.
struct BrokenKey {
    SectionKind kind = SectionKind::Class;
    // The key as the system names it below HKEY_CLASSES_ROOT, spelled as
    // the registry enumerates it: "CLSID\{...}", "Wow6432Node\CLSID\{...}",
    // "TypeLib\{...}", "Interface\{...}", "Wow6432Node\Interface\{...}", a
    // handler "txtfile\shellex\ContextMenuHandlers\Foo" or a file type ".xyz".
    std::string name;
    // The same key as a path in its view ("CLSID\{...}" for both views of a
    // class, "Interface\{...}" for both views of an interface), for reading
    // it again, saving and deleting it.
    std::string path;
    RegistryView view = RegistryView::Native;
    // The key's default value; a handler's list ("ContextMenuHandlers"); a
    // file type's Content Type value; or empty.
    std::string description;
    BreakReason reason = BreakReason::MissingServer;
    // What is missing: the server or library paths as read, or the one
    // library or class id, or the ProgID a file type names.
    std::vector<std::string> missing;
    // Owned by TrustedInstaller: listed, but never checked nor deleted
    // (catalogue/KeyOwner.h).
    bool protectedByWindows = false;
    // Which hives hold the key: the user's classes, the machine's, or both.
    KeyHives hives = KeyHives::None;
};

}  // namespace qob

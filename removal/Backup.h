// The safety net of a removal run: before a confirmed key or file is
// deleted, it is saved into the run's backup folder, from which
// `QobTessavinScan.exe --restore <folder>` (or a double click on the
// folder's .reg file) puts it back. A deletion whose save failed is not made.
#pragma once

#include "catalogue/RegistryView.h"

#include <string>

namespace qob {

class RemovalBackup {
public:
    virtual ~RemovalBackup() = default;

    // Writes the key HKEY_CLASSES_ROOT\<path> of the given view, with all its
    // subkeys and values, to the run's .reg file. A key that is not there
    // writes nothing and counts as saved. False, with the reason in `reason`
    // (a text for the user), when it could not be written.
    virtual bool SaveKey(const std::string& path, RegistryView view, std::string& reason) = 0;

    // Writes the key HKEY_CLASSES_ROOT\<path> of the given view with only
    // its value `name` ("" for the default value), before that value alone
    // is deleted: the key line and that one value line, no subkeys and no
    // other values, so that a restore (which never overwrites) puts back
    // that value alone, and only where it is absent. A key or value that is
    // not there writes nothing and counts as saved.
    virtual bool SaveValue(const std::string& path, RegistryView view, const std::string& name,
                           std::string& reason) = 0;

    // Copies the file into the run's folder, its original full path kept
    // beside it. A file that is not there counts as saved. False, with the
    // reason, when the copy could not be made.
    virtual bool SaveFile(const std::string& path, std::string& reason) = 0;

    // The run's folder; empty while nothing has been saved.
    virtual std::string Folder() const = 0;
};

}  // namespace qob

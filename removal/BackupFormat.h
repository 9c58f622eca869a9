// The files of a removal's backup folder, as text: the .reg file of the
// saved keys (the registry editor's format, "Windows Registry Editor Version
// 5.00", UTF-16LE with a byte-order mark, CRLF lines), the list of saved
// files, and the folder's name. Pure functions, no platform calls.
#pragma once

#include "removal/KeyTree.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qob {

// The first line of a .reg file and the blank line after it.
std::u16string RegFileHeader();

// Appends the tree's keys: a "[key]" line for the top key and each subkey
// (empty ones too), then one line per value, then a blank line. False, with
// the name in `badName`, when a name holds a line break, which no line of
// the format can carry; nothing is appended then.
bool AppendRegKeys(const KeyTree& tree, std::u16string& out, std::u16string& badName);

// The names in the "[...]" lines of a .reg text that are not below the key
// named before them: the top keys, one for each key that was saved.
std::vector<std::u16string> RegFileTopKeys(const std::u16string& text);

// The .reg text without the sections of the given top keys (as
// RegFileTopKeys names them) and of the keys below them; every other line
// kept as it is.
std::u16string RegTextWithout(const std::u16string& text, const std::vector<std::u16string>& topKeys);

// One value of a .reg key section: its name ("" for the default value, @)
// and its lines as they stand, line ends and continuation lines included.
struct RegValueText {
    std::u16string name;
    std::u16string lines;
};

// One "[key]" section of a .reg text: the key's name, its "[key]" line as it
// stands and its values, in the text's order.
struct RegSection {
    std::u16string key;
    std::u16string keyLine;
    std::vector<RegValueText> values;
};

// The key sections of a .reg text as the backup writes it (a checked one):
// the lines before the first key and the blank lines are not in them.
std::vector<RegSection> RegTextSections(const std::u16string& text);

// Where a key lives, as a .reg key line names it. `systemName` is the
// name the system gives the open key ("\REGISTRY\MACHINE\SOFTWARE\Classes\..."),
// which tells the view's real location; when it is empty or not understood,
// the location follows from the path below HKEY_CLASSES_ROOT and the view.
std::u16string KeyLocation(const std::u16string& systemName, const std::u16string& path, RegistryView view);

// The run folder's name: "yyyy-mm-dd hhmmss ProgID", with the characters a
// file name cannot hold replaced by '_' and the ProgID cut to 100 characters.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
std::u16string BackupFolderName(const LocalTime& time, const std::u16string& progId);

// The list of saved files: one line per file, "copy name TAB original full path".
std::u16string ManifestLine(const std::u16string& copyName, const std::u16string& original);
std::vector<std::pair<std::u16string, std::u16string>> ParseManifest(const std::u16string& text);

// UTF-16 text to and from its little-endian bytes (a leading byte-order
// mark is dropped on reading).
std::string ToUtf16Le(const std::u16string& text);
std::u16string FromUtf16Le(const std::string& bytes);

// The text of a backup file's bytes, as the backup writes its files: false
// when they do not start with the little-endian byte-order mark or do not
// make whole UTF-16 units.
bool Utf16FileText(const std::string& bytes, std::u16string& text);

// The text's lines without their line ends (CR LF or LF); a final line end
// starts no further line. A carriage return alone ends no line: it stays in
// the line that holds it.
std::vector<std::u16string_view> TextLines(std::u16string_view text);

}  // namespace qob

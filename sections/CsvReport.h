// The report of broken registrations as a CSV file for spreadsheets and
// tickets: UTF-8 with a byte order mark, so that spreadsheet programs read
// it in every language, fields quoted the way RFC 4180 quotes them, one
// record per broken entry or key. Portable: text only.
#pragma once

#include "catalogue/TreeModel.h"
#include "sections/BrokenKey.h"
#include "sections/BrokenKeyRows.h"

#include <string>
#include <string_view>
#include <vector>

namespace qob {

// One record of the report, its columns in their order.
struct ReportRow {
    std::string kind;         // as the window shows it
    std::string key;          // below HKEY_CLASSES_ROOT, as the system names it
    std::string description;  // the key's default value
    std::string reason;       // in words, in the user interface's language
    std::string token;        // the reason for scripts, as --sections writes it
    std::string progIds;      // the ProgIDs that name it, joined by ", "
    std::string files;        // the file paths involved, joined by " | "
};

// A field as RFC 4180 writes it: in double quotes, each quote doubled, when
// it holds a comma, a quote, a CR or an LF; else as it stands.
std::string CsvField(std::string_view text);

// The whole file: the byte order mark, the heading record in the user
// interface's language, then the rows in their order; each record ends with
// CR LF.
std::string CsvReport(const std::vector<ReportRow>& rows);

// The row of one broken key, named by the ProgIDs `progIds`.
ReportRow BrokenKeyReportRow(const BrokenKey& key, const std::string& progIds);

// The rows of broken keys of the sections, in their order.
std::vector<ReportRow> BrokenKeyReportRows(const std::vector<BrokenKey>& keys, const ProgIdNames& names);

// The rows of the tree's faulty ProgID entries, in the tree's order: each
// names its faulty groups, and the server files of those groups.
std::vector<ReportRow> FaultyEntryReportRows(const TTreeNodes& tree);

}  // namespace qob

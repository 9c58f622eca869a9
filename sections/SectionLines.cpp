#include "sections/SectionLines.h"

#include "catalogue/TreeDump.h"
#include "sections/SectionKinds.h"

#include <map>

namespace qob {

std::string ReasonToken(const BrokenKey& key)
{
    static const std::map<BreakReason, const char*> tokens{
        {BreakReason::MissingServer, "missing-server"},
        {BreakReason::MissingFile, "missing-file"},
        {BreakReason::UnregisteredTypeLib, "unregistered-typelib"},
        {BreakReason::UnregisteredClass, "unregistered-class"},
        {BreakReason::MissingClass, "missing-class"},
        {BreakReason::MissingProgId, "missing-progid"},
    };
    std::string text = std::string(tokens.at(key.reason)) + ' ';
    for (std::size_t i = 0; i < key.missing.size(); ++i)
        text += (i == 0 ? "" : "|") + key.missing[i];
    return text;
}

std::string SectionLines(const std::vector<BrokenKey>& keys)
{
    std::string out;
    for (const BrokenKey& key : keys) {
        out += KindRow(key.kind).token;
        out += '\t';
        out += EscapeControlBytes(key.name);
        out += '\t';
        out += EscapeControlBytes(key.description);
        out += '\t';
        out += EscapeControlBytes(ReasonToken(key));
        out += '\n';
    }
    return out;
}

}  // namespace qob

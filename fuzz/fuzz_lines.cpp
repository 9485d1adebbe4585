// SPDX-License-Identifier: GPL-3.0-or-later
//
// SplitLines and the compact CatalogueLines on the input, and ReadLines (both
// forms) and ReadFileBytes on a file holding it: the same lines, cut at the
// first NUL, and the line of the cut when more than NUL bytes follow. Inputs
// run up to 1 MB.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "data/lines.h"
#include "fuzz_support.h"

namespace {

// The text up to its first NUL with every CR LF and lone CR made a LF.
std::string NormalisedBreaks(std::string_view content)
{
    content = content.substr(0, content.find('\0'));
    std::string out;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r') {
            out += '\n';
            if (i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
        } else {
            out += content[i];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const mirado::fuzz::ScratchFile file("lines.txt");
    const std::string_view content(reinterpret_cast<const char *>(data), size);

    const std::vector<std::string> lines = mirado::SplitLines(content);

    // The lines joined by LF give the text back, but for a break at its end.
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        MIRADO_FUZZ_REQUIRE(lines[i].find_first_of(std::string_view("\r\n\0", 3)) ==
                            std::string::npos);
        if (i > 0)
            joined += '\n';
        joined += lines[i];
    }
    const std::string normalised = NormalisedBreaks(content);
    if (!normalised.empty() && normalised.back() == '\n')
        joined += '\n';
    MIRADO_FUZZ_REQUIRE(joined == normalised);

    // The compact lines are the same lines, byte for byte.
    const mirado::CatalogueLines compact{std::string(content)};
    MIRADO_FUZZ_REQUIRE(compact.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        MIRADO_FUZZ_REQUIRE(compact[i] == lines[i]);
    const std::size_t nul = content.find('\0');
    const bool cutOff = nul != std::string_view::npos &&
                        content.find_first_not_of('\0', nul) != std::string_view::npos;
    const std::size_t wantNulLine =
        cutOff
            ? static_cast<std::size_t>(std::count(normalised.begin(), normalised.end(), '\n')) + 1
            : 0;
    MIRADO_FUZZ_REQUIRE(compact.nulLine() == wantNulLine);

    // The file reader gives the same lines but for the byte-order marks at
    // the start, and every byte.
    file.write(content);
    const std::vector<std::string> unmarked =
        mirado::SplitLines(mirado::WithoutByteOrderMark(content));
    std::vector<std::string> read{"old"};
    mirado::ReadLines(file.path(), read);
    MIRADO_FUZZ_REQUIRE(read == unmarked);
    mirado::CatalogueLines readCompact;
    mirado::ReadLines(file.path(), readCompact);
    MIRADO_FUZZ_REQUIRE(readCompact.toVector() == unmarked);
    MIRADO_FUZZ_REQUIRE(readCompact.nulLine() == wantNulLine);
    MIRADO_FUZZ_REQUIRE(mirado::ReadFileBytes(file.path()) == content);
    return 0;
}

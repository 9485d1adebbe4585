// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace mirado::tool {

namespace {

constexpr const char *kInstalledFolder = "../lib/mirado";

} // namespace

std::vector<std::string> CompanionCandidates(const std::string &programFolder)
{
    const std::filesystem::path folder(programFolder);
    return {(folder / kCompanionName).string(),
            (folder / kInstalledFolder / kCompanionName).lexically_normal().string()};
}

int HandOverToCompanion(const std::vector<std::string> &args)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string tried;
    for (const std::string &candidate : CompanionCandidates(self.parent_path().string())) {
        if (::access(candidate.c_str(), X_OK) != 0)
            continue;
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(candidate.c_str()));
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        std::fflush(stdout);
        ::execv(candidate.c_str(), argv.data());
        std::fprintf(stderr, "mirado-night: cannot run %s: %s\n", candidate.c_str(),
                     std::strerror(errno));
        return 2;
    }
    std::fprintf(stderr,
                 "mirado-night: images and --now-texts need %s, which is not installed beside "
                 "this program or in %s\n",
                 kCompanionName, kInstalledFolder);
    return 2;
}

} // namespace mirado::tool

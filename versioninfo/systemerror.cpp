// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemerror.h"

namespace mirado::platform {

namespace {

class VersionResourceCategoryImpl : public std::error_category
{
public:
    const char *name() const noexcept override { return "mirado.version-resource"; }

    std::string message(int code) const override
    {
        switch (static_cast<VersionResourceErrc>(code)) {
        case VersionResourceErrc::ResourceTypeNotFound:
            return "The specified resource type cannot be found in the image file.";
        case VersionResourceErrc::ResourceNameNotFound:
            return "The specified resource name cannot be found in the image file.";
        }
        return "Unknown error " + std::to_string(code);
    }
};

} // namespace

const std::error_category &VersionResourceCategory()
{
    static const VersionResourceCategoryImpl category;
    return category;
}

std::error_code make_error_code(VersionResourceErrc e)
{
    return {static_cast<int>(e), VersionResourceCategory()};
}

std::string SystemMessage(const std::error_code &ec)
{
    std::string text = ec.message();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

} // namespace mirado::platform

// The option UI service stand-in's decisions: what its command line asks for and which service
// name the copy that runs stands for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace option_service {

enum class Action { kInstall, kRemove, kUsage };

// "-install" or "-remove" (ignoring case, also with a slash) as the one argument.
Action ParseAction(const std::vector<std::wstring>& arguments);

// The service a copy of the program stands for: the name configured for its file name, or the
// file name without its extension.
std::wstring ServiceNameFor(std::wstring_view fileName, const std::wstring& configured);

}  // namespace option_service

#include "stand_ins/option_service/service_program.h"

#include <cwctype>

namespace option_service {

namespace {

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
  return out;
}

}  // namespace

Action ParseAction(const std::vector<std::wstring>& arguments) {
  if (arguments.size() != 1 || arguments[0].size() < 2) return Action::kUsage;
  const std::wstring& a = arguments[0];
  if (a[0] != L'-' && a[0] != L'/') return Action::kUsage;
  const std::wstring word = Lower(std::wstring_view(a).substr(1));
  if (word == L"install") return Action::kInstall;
  if (word == L"remove") return Action::kRemove;
  return Action::kUsage;
}

std::wstring ServiceNameFor(std::wstring_view fileName, const std::wstring& configured) {
  if (!configured.empty()) return configured;
  const size_t dot = fileName.rfind(L'.');
  return std::wstring(dot == std::wstring_view::npos ? fileName : fileName.substr(0, dot));
}

}  // namespace option_service

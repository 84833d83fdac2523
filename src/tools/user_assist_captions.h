#pragma once
// The texts of the UserAssist page.

namespace kestrova {

inline constexpr wchar_t kUserAssistPageCaption[] = L"UserAssist";
inline constexpr wchar_t kUserAssistFileNameColumn[] = L"FileName";
inline constexpr wchar_t kUserAssistTypeColumn[] = L"Type";
inline constexpr wchar_t kUserAssistRefreshCaption[] = L"&Refresh";
inline constexpr wchar_t kUserAssistSelectAllCaption[] = L"&Select All";
inline constexpr wchar_t kUserAssistUnselectAllCaption[] = L"Un&Select All";
inline constexpr wchar_t kUserAssistDeleteCaption[] = L"&Delete";

}  // namespace kestrova

// SPDX-License-Identifier: MIT
#include "pending_operations.h"

#include <cwctype>

namespace packages {
namespace {

// A path as it compares: without the "\??\" prefix and a trailing
// backslash, in lower case.
std::wstring comparable(std::wstring_view path)
{
    if (path.starts_with(L"\\??\\"))
        path.remove_prefix(4);
    while (path.ends_with(L'\\'))
        path.remove_suffix(1);
    std::wstring lowered(path);
    for (wchar_t& character : lowered)
        character = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(character)));
    return lowered;
}

bool inFolder(std::wstring_view path, const std::wstring& folder)
{
    const std::wstring candidate = comparable(path);
    return candidate == folder || (candidate.size() > folder.size() && candidate.starts_with(folder) &&
                                   candidate[folder.size()] == L'\\');
}

} // namespace

std::vector<std::wstring> withoutDeletionsIn(const std::vector<std::wstring>& operations,
                                             std::wstring_view folder)
{
    const std::wstring target = comparable(folder);
    std::vector<std::wstring> kept;
    for (std::size_t i = 0; i + 1 < operations.size(); i += 2) {
        const bool deletion = operations[i + 1].empty();
        if (deletion && !target.empty() && inFolder(operations[i], target))
            continue;
        kept.push_back(operations[i]);
        kept.push_back(operations[i + 1]);
    }
    // An unpaired last path is not an operation the system would carry out; it stays as it was.
    if (operations.size() % 2 != 0)
        kept.push_back(operations.back());
    return kept;
}

std::vector<std::wstring> splitOperations(const wchar_t* data, std::size_t length)
{
    std::vector<std::wstring> operations;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (data[i] == L'\0') {
            operations.emplace_back(data + start, i - start);
            start = i + 1;
        }
    }
    if (start < length)
        operations.emplace_back(data + start, length - start);
    // The list's own closing zero reads as one more, empty string.
    if (operations.size() % 2 != 0 && operations.back().empty())
        operations.pop_back();
    return operations;
}

std::wstring joinOperations(const std::vector<std::wstring>& operations)
{
    std::wstring value;
    for (const std::wstring& operation : operations) {
        value += operation;
        value += L'\0';
    }
    value += L'\0';
    return value;
}

} // namespace packages

// ReadTextData reads a value in one registry call where it can; its answers must be those of
// the registry wrapper's ReadString for every kind of stored value.
#include "scan/registry_text.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

class RegistryTextTest : public test::SandboxTest {
protected:
    static std::vector<BYTE> Bytes(const std::wstring& text, size_t extraBytes = 0) {
        std::vector<BYTE> bytes(text.size() * sizeof(wchar_t) + extraBytes, 0);
        std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
        return bytes;
    }
};

TEST_F(RegistryTextTest, AnswersAsTheWrapperReadsText) {
    const std::wstring longText(5000, L'x');
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"text", REG_SZ, Bytes(L"C:\\app.exe", 2)},
        {"expandable text", REG_EXPAND_SZ, Bytes(L"%windir%\\x.exe", 2)},
        {"empty text", REG_SZ, {}},
        {"text without its NUL", REG_SZ, Bytes(L"abc")},
        {"odd byte count", REG_SZ, {'a', 0, 'b', 0, 'c'}},
        {"NUL inside", REG_SZ, Bytes(std::wstring(L"ab\0cd", 5), 2)},
        {"longer than the first read", REG_SZ, Bytes(longText, 2)},
        {"number", REG_DWORD, {1, 0, 0, 0}},
        {"bytes", REG_BINARY, {1, 2, 3}},
        {"list of texts", REG_MULTI_SZ, Bytes(std::wstring(L"a\0b\0", 4), 2)},
    };
    Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(L"\\Values", true));
    for (const auto& c : cases) {
        registry.WriteRaw(L"v", RawValue{c.type, c.bytes});
        std::optional<std::wstring> expected;
        try {
            expected = registry.ReadString(L"v");
        } catch (const RegistryError& error) {
            ASSERT_EQ(error.kind(), RegistryError::Kind::InvalidDataType) << c.what;
        }
        EXPECT_EQ(ReadTextData(registry, L"v"), expected) << c.what;
    }
    EXPECT_EQ(ReadTextData(registry, L"missing"), std::wstring());
    registry.CloseKey();
    EXPECT_EQ(ReadTextData(registry, L"v"), std::wstring()) << "no key open";
}

}  // namespace
}  // namespace kestrova

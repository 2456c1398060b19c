// SPDX-License-Identifier: MIT
// StartSysInfo with a fake registry, file test and starter; and the real
// program starter on this system, with a path no shell may ever see.

#include "in_memory_registry.h"
#include "system_info_launcher.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using about::InMemoryRegistry;

class FakeServices final : public about::SystemServices
{
public:
    about::RegistryBacking& registry() override { return store; }
    // Like the platform's calls, these see a path only up to its first zero.
    bool fileExists(const std::string& path) override
    {
        tested.emplace_back(path.c_str());
        return files.contains(path.c_str());
    }
    void startProgram(const std::string& path) override
    {
        if (!files.contains(path.c_str()))
            throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory));
        started.emplace_back(path.c_str());
    }

    InMemoryRegistry store;
    std::set<std::string> files;
    std::vector<std::string> tested;
    std::vector<std::string> started;
};

// The bytes exactly as given, zeros included.
template <std::size_t N> std::vector<unsigned char> bytesOf(const char (&value)[N])
{
    return {value, value + N - 1};
}

std::vector<unsigned char> text(std::string_view value)
{
    std::vector<unsigned char> data(value.begin(), value.end());
    data.push_back(0);
    return data;
}

struct Case
{
    const char* name;
    std::optional<InMemoryRegistry::Value> first;  // "PATH" under the first key
    std::optional<InMemoryRegistry::Value> second; // "MSINFO" under the second key
    std::set<std::string> files;
    std::vector<std::string> started;
    std::vector<std::string> keysRead;
    std::vector<std::string> tested;
    bool message;
    bool firstKeyWithoutValue = false;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

const std::string kFirst = "2147483650:software\\microsoft\\shared tools\\msinfo";
const std::string kSecond = "2147483650:software\\microsoft\\shared tools location";

std::vector<Case> cases()
{
    const std::string tool = "C:\\Programme\\Gemeinsame Dateien\\MSINFO\\MSINFO32.EXE";
    return {
        {"FirstValueNamesAProgram",
         InMemoryRegistry::Value{about::kRegSz, text(tool)},
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Elsewhere")},
         {tool},
         {tool},
         {kFirst},
         {},
         false},
        {"FirstValueNamesAMissingFile",
         InMemoryRegistry::Value{about::kRegSz, text(tool)},
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Tools")},
         {"C:\\Tools\\MSINFO32.EXE"},
         {},
         {kFirst},
         {},
         true},
        {"SecondValueNamesTheFolder",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Tools")},
         {"C:\\Tools\\MSINFO32.EXE"},
         {"C:\\Tools\\MSINFO32.EXE"},
         {kSecond},
         {"C:\\Tools\\MSINFO32.EXE"},
         false},
        {"FirstKeyWithoutTheValue",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegSz, text("C:\\T")},
         {"C:\\T\\MSINFO32.EXE"},
         {"C:\\T\\MSINFO32.EXE"},
         {kFirst, kSecond},
         {"C:\\T\\MSINFO32.EXE"},
         false,
         true},
        {"FolderWithoutTheProgram",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Tools")},
         {},
         {},
         {kSecond},
         {"C:\\Tools\\MSINFO32.EXE"},
         true},
        {"BothValuesMissing", std::nullopt, std::nullopt, {}, {}, {}, {}, true},
        {"FolderEndingInABackslash",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Tools\\")},
         {"C:\\Tools\\\\MSINFO32.EXE"},
         {"C:\\Tools\\\\MSINFO32.EXE"},
         {kSecond},
         {"C:\\Tools\\\\MSINFO32.EXE"},
         false},
        {"FirstValueWithoutData",
         InMemoryRegistry::Value{about::kRegSz, {}},
         InMemoryRegistry::Value{about::kRegSz, text("C:\\Tools")},
         {"C:\\Tools\\MSINFO32.EXE"},
         {},
         {kFirst},
         {},
         true},
        {"FirstValueOfAnotherType",
         InMemoryRegistry::Value{about::kRegBinary, text("C:\\x.exe")},
         std::nullopt,
         {"C:\\x.exe"},
         {},
         {kFirst},
         {},
         true},
        {"FolderOfAnotherTypeIsNoFolder",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegBinary, text("C:\\Tools")},
         {"\\MSINFO32.EXE"},
         {},
         {kSecond},
         {},
         true},
        {"FirstValueEndingInTwoZeros",
         InMemoryRegistry::Value{about::kRegSz, bytesOf("C:\\x.exe\0\0")},
         std::nullopt,
         {"C:\\x.exe"},
         {},
         {kFirst},
         {},
         true},
        {"FolderEndingInTwoZeros",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegSz, bytesOf("C:\\Tools\0\0")},
         {"C:\\Tools"},
         {},
         {kSecond},
         {},
         true},
        {"FirstValueExpandable",
         InMemoryRegistry::Value{about::kRegExpandSz, text("%CommonProgramFiles%\\MSINFO\\MSINFO32.EXE")},
         std::nullopt,
         {"C:\\Program Files\\Common Files\\MSINFO\\MSINFO32.EXE"},
         {"C:\\Program Files\\Common Files\\MSINFO\\MSINFO32.EXE"},
         {kFirst},
         {},
         false},
        {"FolderExpandable",
         std::nullopt,
         InMemoryRegistry::Value{about::kRegExpandSz, text("%CommonProgramFiles%\\MSINFO")},
         {"C:\\Program Files\\Common Files\\MSINFO\\MSINFO32.EXE"},
         {"C:\\Program Files\\Common Files\\MSINFO\\MSINFO32.EXE"},
         {kSecond},
         {"C:\\Program Files\\Common Files\\MSINFO\\MSINFO32.EXE"},
         false},
    };
}

class StartSysInfoTest : public testing::TestWithParam<Case>
{};

TEST_P(StartSysInfoTest, FindsAndStartsTheToolOrSaysItIsNotAvailable)
{
    const Case& c = GetParam();
    FakeServices services;
    services.store.setEnvironment("CommonProgramFiles", "C:\\Program Files\\Common Files");
    if (c.firstKeyWithoutValue)
        services.store.setValue(about::kHkeyLocalMachine, about::kSysInfoKey, "OTHER", {});
    if (c.first)
        services.store.setValue(about::kHkeyLocalMachine, about::kSysInfoKey, about::kSysInfoValue, *c.first);
    if (c.second)
        services.store.setValue(about::kHkeyLocalMachine, about::kSysInfoLocationKey,
                                about::kSysInfoLocationValue, *c.second);
    services.files = c.files;
    std::vector<std::string> messages;

    about::startSysInfo(services, [&messages](std::string_view text) { messages.emplace_back(text); });

    EXPECT_EQ(services.started, c.started);
    EXPECT_EQ(services.store.keysRead, c.keysRead) << "the lookups, in order";
    EXPECT_EQ(services.tested, c.tested);
    if (c.message)
        EXPECT_EQ(messages, std::vector<std::string>{"Systeminformationen sind momentan nicht verfügbar"});
    else
        EXPECT_TRUE(messages.empty());
    EXPECT_EQ(services.store.openKeys(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartSysInfoTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

#ifndef _WIN32
// The POSIX program starter and the platform without a registry; the Windows
// ones are proven under Wine by tests/wine/wine_sysinfo_test.cpp.

// The real starter: a program whose path holds blanks and shell
// metacharacters is started as exactly that file, and nothing else runs.
class ProgramStarterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("gradolux starter " + std::to_string(::getpid()) + " $(touch injected) ; `touch injected2`");
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // A script that records how it was started in `marker`.
    void writeProgram(const std::filesystem::path& path, const std::string& marker)
    {
        std::ofstream(path) << "#!/bin/sh\nprintf '%s' \"$0\" > '" << (m_dir / marker).string() << "'\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    bool waitFor(const std::string& marker)
    {
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(m_dir / marker))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    }
    // Waits until this process has no child left, neither running nor ended
    // and unreaped; programs it started are never waited for by their caller.
    static bool waitForNoChildren()
    {
        const std::string parent = std::to_string(::getpid());
        for (int i = 0; i < 400; ++i) {
            bool child = false;
            for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
                std::ifstream stat(entry.path() / "stat");
                std::string line;
                if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
                    continue;
                // pid (name) state ppid ...
                std::istringstream rest(line.substr(line.rfind(')') + 2));
                std::string state, ppid;
                rest >> state >> ppid;
                child = child || ppid == parent;
            }
            if (!child)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    }
    std::string read(const std::string& marker)
    {
        std::ifstream in(m_dir / marker);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path m_dir;
};

TEST_F(ProgramStarterTest, StartsExactlyTheFileAtThePath)
{
    const std::filesystem::path program = m_dir / "System Info; rm -rf x & $(touch injected3).EXE";
    writeProgram(program, "started");
    // A decoy where a command line cut at the first blank would look.
    writeProgram(m_dir / "System", "decoy");

    about::startProgramAt(program.string());

    ASSERT_TRUE(waitFor("started"));
    EXPECT_EQ(read("started"), program.string());
    // Once the program has ended and is reaped, nothing else can start any more.
    ASSERT_TRUE(waitForNoChildren()) << "the ended program lingers as a zombie";
    EXPECT_FALSE(std::filesystem::exists(m_dir / "decoy"));
    for (const char* injected : {"injected", "injected2", "injected3"})
        EXPECT_FALSE(std::filesystem::exists(injected) || std::filesystem::exists(m_dir / injected))
            << injected;
}

TEST_F(ProgramStarterTest, APathThatCannotStartIsAnError)
{
    EXPECT_THROW(about::startProgramAt(""), std::system_error);
    EXPECT_THROW(about::startProgramAt((m_dir / "missing.exe").string()), std::system_error);
    const std::filesystem::path notAProgram = m_dir / "readme.txt";
    std::ofstream(notAProgram) << "text";
    EXPECT_THROW(about::startProgramAt(notAProgram.string()), std::system_error);
}

TEST_F(ProgramStarterTest, OnlyOrdinaryFilesExist)
{
    const std::filesystem::path file = m_dir / "MSINFO32.EXE";
    std::ofstream(file) << "x";
    EXPECT_TRUE(about::isOrdinaryFile(file.string()));
    EXPECT_FALSE(about::isOrdinaryFile(m_dir.string()));
    EXPECT_FALSE(about::isOrdinaryFile((m_dir / "missing").string()));
}

TEST(PlatformServicesTest, WithoutARegistryTheToolIsNotAvailable)
{
    const auto services = about::platformSystemServices();
    std::vector<std::string> messages;
    about::startSysInfo(*services, [&messages](std::string_view text) { messages.emplace_back(text); });
    EXPECT_EQ(messages.size(), 1u);
}

#endif

} // namespace

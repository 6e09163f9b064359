// setup_unit_test.cpp: the installer's helpers on the platform: expanding paths in place, registry values
// in the 32-bit view, the date text, and the program folder where 32-bit Windows lacks the (x86) folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/install.h"
#include "setup/locations.h"

namespace {

TEST(ExpandEnvInPlace, ExpandsOrLeavesThePathWhole)
{
    SetEnvironmentVariableA("NOXEL_SHORT", "C:\\short");
    char path[PathCapacity] = "%NOXEL_SHORT%\\nxl";
    expandEnvInPlace(path);
    EXPECT_STREQ(path, "C:\\short\\nxl");

    // An expansion longer than 511 characters does not fit: the path stays as it was, not cut.
    SetEnvironmentVariableA("NOXEL_LONG", std::string(600, 'x').c_str());
    char longPath[PathCapacity] = "%NOXEL_LONG%\\nxl";
    expandEnvInPlace(longPath);
    EXPECT_STREQ(longPath, "%NOXEL_LONG%\\nxl");
    SetEnvironmentVariableA("NOXEL_LONG", std::string(500, 'x').c_str());
    expandEnvInPlace(longPath);
    EXPECT_EQ(std::string(longPath), std::string(500, 'x') + "\\nxl");

    // An unknown variable stays as written.
    char unknown[PathCapacity] = "%NOXEL_NOT_SET%\\a";
    expandEnvInPlace(unknown);
    EXPECT_STREQ(unknown, "%NOXEL_NOT_SET%\\a");
}

TEST(VendorFolder, FallsBackToProgramFilesWithoutTheX86Folder)
{
    char saved[PathCapacity] = "";
    const DWORD had = GetEnvironmentVariableA("ProgramFiles(x86)", saved, sizeof saved);
    char path[PathCapacity];
    SetEnvironmentVariableA("ProgramFiles(x86)", "C:\\PF86");
    formVendorFolder(path);
    EXPECT_STREQ(path, "C:\\PF86\\Orvane");
    SetEnvironmentVariableA("ProgramFiles(x86)", nullptr);
    SetEnvironmentVariableA("ProgramFiles", "C:\\PF");
    formVendorFolder(path);
    EXPECT_STREQ(path, "C:\\PF\\Orvane");
    SetEnvironmentVariableA("ProgramFiles(x86)", had ? saved : nullptr);
}

TEST(Registry, ValuesAreWrittenInThe32BitView)
{
    const char key[] = "Software\\NoxelTest";
    ASSERT_TRUE(writeRegString(HKEY_CURRENT_USER, key, "Text", "abc"));
    ASSERT_TRUE(writeRegDword(HKEY_CURRENT_USER, key, "Number", 0x01000000));
    HKEY opened;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WOW64_32KEY, &opened), ERROR_SUCCESS);
    char text[16];
    DWORD type = 0, size = sizeof text;
    RegQueryValueExA(opened, "Text", nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);   // with its terminating zero
    EXPECT_STREQ(text, "abc");
    DWORD number = 0;
    size = sizeof number;
    RegQueryValueExA(opened, "Number", nullptr, &type, reinterpret_cast<BYTE *>(&number), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 0x01000000u);
    RegCloseKey(opened);
    RegDeleteKeyExA(HKEY_CURRENT_USER, key, KEY_WOW64_32KEY, 0);
}

TEST(InstallDate, EightDigitsOfToday)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char expected[16];
    snprintf(expected, sizeof expected, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    EXPECT_STREQ(installDateString(), expected);
}

}  // namespace

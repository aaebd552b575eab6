#include "macro/macro_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace quorix {
namespace {

std::string Data(const std::string& name) { return std::string(QUORIX_TEST_DATA_DIR) + "/" + name; }

MacroFile ReadPath(const std::string& path, MacroFileStatus expected = MacroFileStatus::kOk) {
  MacroFileRead read = ReadMacroFile(path);
  EXPECT_EQ(read.status, expected) << path;
  EXPECT_EQ(static_cast<bool>(read.file), expected == MacroFileStatus::kOk) << path;
  return read.file ? std::move(read.file).value() : MacroFile{};
}

MacroFile Read(const std::string& name, MacroFileStatus expected = MacroFileStatus::kOk) {
  return ReadPath(Data(name), expected);
}

const std::vector<MacroItem> kTap = {KeyItem(true, 0x04), WaitItem(50), KeyItem(false, 0x04)};

TEST(MacroFileRead, BothVersionsLoadTheSameMacro) {
  MacroFile v62 = Read("v62_tap.mf");
  MacroFile v61 = Read("v61_tap.mf");
  MacroFile commented = Read("v62_comment.mf");
  for (const MacroFile* f : {&v62, &v61, &commented}) {
    EXPECT_EQ(f->header.name, "Tap A");
    EXPECT_EQ(f->header.mode, 9);
    EXPECT_EQ(f->header.time, 1767225600);
    EXPECT_EQ(f->header.bodyLength, 6);
    EXPECT_EQ(f->items, kTap);
  }
  EXPECT_EQ(v62.header.version, "_@_MF6.2_");
  EXPECT_EQ(v61.header.version, "_@_MF6.1_");
  EXPECT_EQ(v62.header.ShownSize(), 6 + 2 * 5);
}

TEST(MacroFileRead, EveryStringLengthForm) {
  EXPECT_EQ(Read("v62_medium_name.mf").header.name, std::string(300, 'N'));
  EXPECT_EQ(Read("v62_medium_small.mf").items, kTap);
  MacroFile longForm = Read("v61_long_form.mf");
  EXPECT_EQ(longForm.header.name, "Long form");
  EXPECT_EQ(longForm.items, kTap);
  MacroFile huge = Read("v62_huge_form.mf");
  EXPECT_EQ(huge.header.name, "Huge");
  EXPECT_EQ(huge.items, kTap);
}

TEST(MacroFileRead, BodyIsCutAtZeroOrAtAnUnknownOpcode) {
  MacroFile cut = Read("v62_zero_inside.mf");
  EXPECT_EQ(cut.body.size(), 5u);
  EXPECT_EQ(cut.items, (std::vector<MacroItem>{ButtonItem(true, 1), ButtonItem(false, 1)}));
  MacroFile odd = Read("invalid_opcode.mf");
  EXPECT_EQ(odd.items.size(), 2u);
  MacroFile all = Read("all_forms.mf");
  EXPECT_EQ(all.items.size(), 21u);
}

TEST(MacroFileRead, RejectsWithTheRightStatus) {
  Read("bad_version.mf", MacroFileStatus::kInvalidFormat);
  Read("nine_bytes.mf", MacroFileStatus::kTooShort);
  Read("truncated_body.mf", MacroFileStatus::kTruncated);
  Read("no_such_file.mf", MacroFileStatus::kUnreadable);
  // The front ends' failure, and the system's reason only where there is one.
  const MacroFileRead missing = ReadMacroFile(Data("no_such_file.mf"));
  EXPECT_EQ(missing.file.failure(), Failure::kCannotReadFile);
  EXPECT_EQ(missing.file.detail(), "no such file or directory");
  const MacroFileRead badVersion = ReadMacroFile(Data("bad_version.mf"));
  EXPECT_EQ(badVersion.file.failure(), Failure::kInvalidFormat);
  EXPECT_EQ(badVersion.file.detail(), "");
  MacroFileHeader header;
  // The header alone reads even when the body is cut.
  EXPECT_EQ(ReadMacroFileHeader(Data("truncated_body.mf"), header), MacroFileStatus::kOk);
  EXPECT_EQ(ReadMacroFileHeader(Data("bad_version.mf"), header), MacroFileStatus::kInvalidFormat);
  // A negative or oversized body length.
  std::vector<uint8_t> bytes;
  ASSERT_EQ(EncodeMacroFile("x", 8, {}, 0, bytes), MacroFileStatus::kOk);
  MacroFile file;
  bytes[bytes.size() - 1] = 0x80;  // length -2^31
  EXPECT_EQ(ParseMacroFile(bytes, file), MacroFileStatus::kTruncated);
  bytes[bytes.size() - 1] = 0x00;
  bytes[bytes.size() - 2] = 0x02;  // 131072: above the limit
  EXPECT_EQ(ParseMacroFile(bytes, file), MacroFileStatus::kBodyTooLarge);
  bytes[bytes.size() - 2] = 0x01;  // 65536 is the largest body, but these bytes are missing
  EXPECT_EQ(ParseMacroFile(bytes, file), MacroFileStatus::kTruncated);
  bytes[bytes.size() - 4] = 0x01;  // 65537
  EXPECT_EQ(ParseMacroFile(bytes, file), MacroFileStatus::kBodyTooLarge);
}

TEST(MacroFileWrite, ExactBytesOfVersion62) {
  std::vector<uint8_t> bytes;
  ASSERT_EQ(EncodeMacroFile("  Tap A \t", 9, SerialiseItems(kTap), 1767225600, bytes), MacroFileStatus::kOk);
  std::ifstream in(Data("v62_tap.mf"), std::ios::binary);
  std::vector<uint8_t> golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, golden);
  const std::vector<uint8_t> versionField = {0xFF, 0xFE, 0xFF, 0x09, '_', 0,   '@', 0,   '_', 0,   'M',
                                             0,    'F',  0,    '6',  0,   '.', 0,   '2', 0,   '_', 0};
  EXPECT_TRUE(std::equal(versionField.begin(), versionField.end(), bytes.begin()));
  // A name of 300 characters uses the medium length form.
  ASSERT_EQ(EncodeMacroFile(std::string(300, 'N'), 8, {}, 0, bytes), MacroFileStatus::kOk);
  const size_t nameAt = 22 + 4 + 8;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + nameAt, bytes.begin() + nameAt + 6),
            (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
}

TEST(MacroFileWrite, BodyLimitAndRoundTrip) {
  test::TempDir dir;
  const std::string path = dir.Path("m.mf");
  std::vector<MacroItem> items(65536 / 2, WaitItem(7));
  ASSERT_TRUE(WriteMacroFile(path, "big", 10, items, 42));
  EXPECT_EQ(ReadPath(path).items.size(), items.size());
  // One byte more is refused and the old file stays.
  items.push_back(WheelItem(1));
  EXPECT_EQ(WriteMacroFile(path, "bigger", 10, items, 43).failure, Failure::kLackOfSpace);
  EXPECT_EQ(ReadPath(path).header.name, "big");
  const Outcome unwritten = WriteMacroFile(dir.Path("missing/folder/m.mf"), "x", 8, kTap, 0);
  EXPECT_EQ(unwritten.failure, Failure::kCannotWriteFile);
  EXPECT_FALSE(unwritten.detail.empty());
  // A file far larger than any macro file is not read.
  std::filesystem::resize_file(path, kMaxMacroFileSize + 1);
  ReadPath(path, MacroFileStatus::kFileTooLarge);
  MacroFileHeader header;
  EXPECT_EQ(ReadMacroFileHeader(path, header), MacroFileStatus::kFileTooLarge);
  std::filesystem::resize_file(path, 0);
  ReadPath(path, MacroFileStatus::kTooShort);
  // Only the renamed file is left in the folder: no temporary files.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Root())) ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST(MacroFileRewrite, NewNameMakesVersion62WithNewTime) {
  test::TempDir dir;
  const std::string path = dir.Path("old.MF");
  std::filesystem::copy_file(Data("v61_tap.mf"), path);
  ASSERT_EQ(RewriteMacroFileName(path, "Renamed", 1800000000), MacroFileStatus::kOk);
  MacroFile file = ReadPath(path);
  EXPECT_EQ(file.header.version, "_@_MF6.2_");
  EXPECT_EQ(file.header.name, "Renamed");
  EXPECT_EQ(file.header.time, 1800000000);
  EXPECT_EQ(file.header.mode, 9);
  EXPECT_EQ(file.items, kTap);
  // A commented file loses its comment; a body with a 0x00 keeps its bytes.
  const std::string cut = dir.Path("cut.mf");
  std::filesystem::copy_file(Data("v62_zero_inside.mf"), cut);
  ASSERT_EQ(RewriteMacroFileName(cut, "Cut", 1), MacroFileStatus::kOk);
  EXPECT_EQ(ReadPath(cut).body, (std::vector<uint8_t>{0x21, 0x41, 0x00, 0x83, 0x05}));
  // Not a .mf path, or not a macro file: nothing is written.
  const std::string other = dir.Path("tap.txt");
  std::filesystem::copy_file(Data("v62_tap.mf"), other);
  EXPECT_EQ(RewriteMacroFileName(other, "x", 1), MacroFileStatus::kNotMacroFile);
  const std::string bad = dir.Path("bad.mf");
  std::filesystem::copy_file(Data("bad_version.mf"), bad);
  const std::string badBefore = test::ReadFile(bad);
  EXPECT_EQ(RewriteMacroFileName(bad, "x", 1), MacroFileStatus::kInvalidFormat);
  EXPECT_EQ(test::ReadFile(bad), badBefore);
}

TEST(MacroFileNames, ProposedNamesAreCleaned) {
  EXPECT_EQ(ProposedMacroFileName("a/b:c?\"d\"", "2026-12-07"), "a_b_c__d__2026-12-07");
  EXPECT_EQ(ProposedMacroFileName("", "2026-12-07"), "macro_2026-12-07");
  EXPECT_EQ(CleanFileName("\\/\":<>|?*ok"), "_________ok");
  EXPECT_EQ(TrimName(" \t x y \n"), "x y");
}

}  // namespace
}  // namespace quorix

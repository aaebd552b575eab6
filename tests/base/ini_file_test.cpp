#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/text_encoding.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

std::string Get(std::string_view text, std::string_view section, std::string_view key,
                std::string_view def = "@_NOSTR_", size_t limit = kIniValueLimit) {
  return IniDocument::Parse(text).GetString(section, key, def, limit);
}

TEST(IniRead, LineEndsTrimmingAndBlankLines) {
  const std::string text = "[A]\nlf=1\r\ncrlf=2\rcr=3\n\n\t  \n  spaced  =  v a l  \t\nlast=4";
  EXPECT_EQ(Get(text, "A", "lf"), "1");
  EXPECT_EQ(Get(text, "A", "crlf"), "2");
  EXPECT_EQ(Get(text, "A", "cr"), "3");
  EXPECT_EQ(Get(text, "A", "spaced"), "v a l");
  EXPECT_EQ(Get(text, "A", "last"), "4");
}

TEST(IniRead, SectionHeaders) {
  EXPECT_EQ(Get("[ ARG ] trailing text\nk=v\n", "ARG", "k"), "v");
  EXPECT_EQ(Get("[a]b]\nk=v\n", "a", "k"), "v");
  EXPECT_EQ(Get("[a]b]\nk=v\n", "a]b", "k"), "@_NOSTR_");
  EXPECT_EQ(Get("[open\nk=v\n", "open", "k"), "v");
  // Keys before the first section are never found, not even under "".
  EXPECT_EQ(Get("k=v\n[S]\n", "", "k"), "@_NOSTR_");
  EXPECT_EQ(Get("k=v\n[S]\n", "S", "k"), "@_NOSTR_");
  EXPECT_EQ(Get("[]\nk=v\n", "", "k"), "v");
}

TEST(IniRead, CommentsAndHashKeys) {
  const std::string text = "[S]\n;k=comment\n  ;also=comment\n#k=hash\nk=real\n";
  EXPECT_EQ(Get(text, "S", "k"), "real");
  EXPECT_EQ(Get(text, "S", "#k"), "hash");
  EXPECT_EQ(Get(text, "S", ";k"), "@_NOSTR_");
}

TEST(IniRead, KeyLines) {
  const std::string text = "[S]\nempty=\na = b = c\nnoequals\n=nokey\n";
  EXPECT_EQ(Get(text, "S", "empty"), "");
  EXPECT_EQ(Get(text, "S", "a"), "b = c");
  EXPECT_EQ(Get(text, "S", "noequals"), "@_NOSTR_");
  EXPECT_EQ(Get(text, "S", ""), "nokey");
}

TEST(IniRead, CaseAndDuplicates) {
  const std::string text = "[Arg]\nKey=first\nkey=second\n[ARG]\nother=x\nkey=third\n";
  EXPECT_EQ(Get(text, "aRG", "KEY"), "first");
  // Only the first matching section is searched.
  EXPECT_EQ(Get(text, "arg", "other"), "@_NOSTR_");
  // Case folding is ASCII only.
  EXPECT_EQ(Get("[Ä]\nk=v\n", "ä", "k"), "@_NOSTR_");
}

TEST(IniRead, Quotes) {
  const std::string text =
      "[S]\nd=\"quoted\"\ns='single'\nmixed=\"a'\ninner=a \"b\" c\nlone=\"\nboth=\"\"\"\n"
      "semi=a ; b # c\nslash=No\\ndevice\nspaced=  \" x \"  \n";
  EXPECT_EQ(Get(text, "S", "d"), "quoted");
  EXPECT_EQ(Get(text, "S", "s"), "single");
  EXPECT_EQ(Get(text, "S", "mixed"), "\"a'");
  EXPECT_EQ(Get(text, "S", "inner"), "a \"b\" c");
  EXPECT_EQ(Get(text, "S", "lone"), "\"");
  EXPECT_EQ(Get(text, "S", "both"), "\"");
  EXPECT_EQ(Get(text, "S", "semi"), "a ; b # c");
  EXPECT_EQ(Get(text, "S", "slash"), "No\\ndevice");
  EXPECT_EQ(Get(text, "S", "spaced"), " x ");
}

TEST(IniRead, LimitAndDefaults) {
  const std::string text = "[S]\nk=abcdef\njp=日本語\nemoji=a😀b\n";
  EXPECT_EQ(Get(text, "S", "k", "", 4), "abc");
  EXPECT_EQ(Get(text, "S", "k", "", 1), "");
  EXPECT_EQ(Get(text, "S", "k", "", 0), "");
  EXPECT_EQ(Get(text, "S", "jp", "", 3), "日本");
  // A character outside the BMP takes two units and is never split.
  EXPECT_EQ(Get(text, "S", "emoji", "", 3), "a");
  EXPECT_EQ(Get(text, "S", "emoji", "", 4), "a😀");
  // A file that is not UTF-8 reads in its code page before the cut.
  EXPECT_EQ(Get("[S]\nk=M\xFC" "ll\n", "S", "k", "", 4), "Mül");
  // The default: the marker works, trailing blanks go, the limit applies.
  EXPECT_EQ(Get(text, "S", "missing", "@_NOSTR_"), "@_NOSTR_");
  EXPECT_EQ(Get(text, "S", "missing", "dflt   "), "dflt");
  EXPECT_EQ(Get(text, "S", "missing", "default", 4), "def");
  EXPECT_EQ(Get(text, "Nope", "k", "d"), "d");
  EXPECT_EQ(GetProfileString("/nonexistent/dir/set.ini", "S", "k", "@_NOSTR_"), "@_NOSTR_");
}

TEST(IniRead, Integers) {
  EXPECT_EQ(ParseProfileInt("42", 7), 42);
  EXPECT_EQ(ParseProfileInt("-42", 7), -42);
  EXPECT_EQ(ParseProfileInt("+42", 7), 42);
  EXPECT_EQ(ParseProfileInt("12abc", 7), 12);
  EXPECT_EQ(ParseProfileInt("0x1F", 7), 31);
  EXPECT_EQ(ParseProfileInt("0x1fz", 7), 31);
  EXPECT_EQ(ParseProfileInt("-0x10", 7), -16);
  EXPECT_EQ(ParseProfileInt("0X1F", 7), 0);
  EXPECT_EQ(ParseProfileInt("abc", 7), 0);
  EXPECT_EQ(ParseProfileInt("-", 7), 0);
  EXPECT_EQ(ParseProfileInt("", 7), 7);
  EXPECT_EQ(ParseProfileInt("4294967297", 7), 1);
  EXPECT_EQ(ParseProfileInt("2147483648", 7), INT32_MIN);
  const IniDocument doc = IniDocument::Parse("[ARG]\nosd=\"0\"\nempty=\nhotkey= 68 \n");
  EXPECT_EQ(doc.GetInt("arg", "osd", 1), 0);
  EXPECT_EQ(doc.GetInt("arg", "empty", 5), 5);
  EXPECT_EQ(doc.GetInt("arg", "hotkey", 0), 68);
  EXPECT_EQ(doc.GetInt("arg", "missing", -3), -3);
}

TEST(IniRead, Encodings) {
  const std::string utf8 = "[S]\nname=日本語\r\n";
  EXPECT_EQ(Get("\xEF\xBB\xBF" + utf8, "S", "name"), "日本語");
  EXPECT_EQ(Get("\xFF\xFE" + Utf8ToUtf16Le(utf8), "S", "name"), "日本語");
  // UTF-16 without a byte-order mark is not recognised.
  EXPECT_EQ(Get(Utf8ToUtf16Le(utf8), "S", "name"), "@_NOSTR_");
  EXPECT_EQ(IniDocument::Parse("\xFF\xFE").Encoding(), IniEncoding::kUtf16Le);
  EXPECT_EQ(IniDocument::Parse("abc").Encoding(), IniEncoding::kUtf8);
}

TEST(IniRead, FilesWithoutByteOrderMarkInTheReadersCodePage) {
  const std::string sjisTest = "\x83\x65\x83\x58\x83\x67";  // テスト in code page 932
  struct Case {
    std::string value;  // the file is "[S]\r\nname=" value "\r\n"
    int codePage;
    IniEncoding encoding;
    std::string read;
  };
  const Case cases[] = {
      {"Caf\xE9", kCodePageWindows1252, IniEncoding::kWindows1252, "Café"},
      // Unassigned 1252 bytes keep their value, so they write back unchanged.
      {"\x80\x81\x9F", kCodePageWindows1252, IniEncoding::kWindows1252, "€\u0081Ÿ"},
      {sjisTest, kCodePageShiftJis, IniEncoding::kShiftJis, "テスト"},
      {"\xB1\xB2 \xF0\x40", kCodePageShiftJis, IniEncoding::kShiftJis, "ｱｲ \uE000"},
      {sjisTest, kCodePageWindows1252, IniEncoding::kWindows1252, "ƒeƒXƒg"},
      // Not 932 text (a lead byte before the line end), or 932 text that
      // would write back as other bytes (0xED40 is written 0xFA5C): 1252.
      {"Caf\xE9", kCodePageShiftJis, IniEncoding::kWindows1252, "Café"},
      {"\xED\x40", kCodePageShiftJis, IniEncoding::kWindows1252, "í@"},
      // Well-formed UTF-8 stays UTF-8 for every reader.
      {"日本語", kCodePageShiftJis, IniEncoding::kUtf8, "日本語"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read);
    const std::string bytes = "[S]\r\nname=" + c.value + "\r\n";
    const IniDocument doc = IniDocument::Parse(bytes, c.codePage);
    EXPECT_EQ(doc.Encoding(), c.encoding);
    EXPECT_EQ(doc.GetString("S", "name", "@_NOSTR_"), c.read);
    EXPECT_EQ(doc.Serialize(), bytes);
  }
  const std::string utf16 = "\xFF\xFE" + Utf8ToUtf16Le("[S]\r\nname=日本\r\n");
  EXPECT_EQ(IniDocument::Parse(utf16, kCodePageShiftJis).GetString("S", "name", ""), "日本");
}

TEST(IniWrite, CodePageFilesStayInTheirCodePage) {
  struct Case {
    std::string file;
    int codePage;
    std::string value;
    std::string written;  // empty: refused, the document unchanged
  };
  const Case cases[] = {
      {"[A]\r\nk=Caf\xE9\r\n", kCodePageWindows1252, "Crème", "[A]\r\nk=Cr\xE8me\r\n"},
      {"[A]\r\nk=\x83\x65\r\n", kCodePageShiftJis, "テスト２", "[A]\r\nk=\x83\x65\x83\x58\x83\x67\x82\x51\r\n"},
      {"[A]\r\nk=\x83\x65\r\n", kCodePageShiftJis, "ⅰ纊", "[A]\r\nk=\xFA\x40\xFA\x5C\r\n"},
      {"[A]\r\nk=Caf\xE9\r\n", kCodePageWindows1252, "テスト", ""},
      {"[A]\r\nk=\x83\x65\r\n", kCodePageShiftJis, "Café", ""},
      {"[A]\r\nk=\x83\x65\r\n", kCodePageShiftJis, "😀", ""},
      // An ASCII file is UTF-8 and takes any text, but only text.
      {"[A]\r\nk=x\r\n", kCodePageShiftJis, "Café テスト", "[A]\r\nk=Café テスト\r\n"},
      {"[A]\r\nk=x\r\n", kCodePageWindows1252, "M\xFC", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    IniDocument doc = IniDocument::Parse(c.file, c.codePage);
    if (c.written.empty()) {
      EXPECT_THROW(doc.SetString("A", "k", c.value), std::invalid_argument);
      EXPECT_THROW(doc.SetString("A", c.value, "v"), std::invalid_argument);
      EXPECT_FALSE(doc.Modified());
      EXPECT_EQ(doc.Serialize(), c.file);
    } else {
      EXPECT_TRUE(doc.SetString("A", "k", c.value));
      EXPECT_EQ(doc.Serialize(), c.written);
      EXPECT_EQ(IniDocument::Parse(c.written, c.codePage).GetString("A", "k", ""), c.value);
    }
  }
}

TEST(IniWrite, ReplacesInPlaceKeepingSpellingAndOtherLines) {
  IniDocument doc = IniDocument::Parse("; head\r\n[Arg]\r\n  OSD = 1 \r\n;c=1\r\nosd=9\r\nx\r\n");
  EXPECT_TRUE(doc.SetString("ARG", "osd", "0"));
  EXPECT_EQ(doc.Serialize(), "; head\r\n[Arg]\r\nOSD=0\r\n;c=1\r\nosd=9\r\nx\r\n");
}

TEST(IniWrite, AppendsKeysAndSections) {
  IniDocument doc = IniDocument::Parse("[A]\r\na=1\r\n;tail comment\r\n\r\n[B]\r\nb=1");
  EXPECT_TRUE(doc.SetString("a", "new", "2"));
  EXPECT_TRUE(doc.SetString("B", "c", "3"));
  EXPECT_TRUE(doc.SetString("C", "d", "4"));
  EXPECT_EQ(doc.Serialize(),
            "[A]\r\na=1\r\n;tail comment\r\nnew=2\r\n\r\n[B]\r\nb=1\r\nc=3\r\n[C]\r\nd=4\r\n");
  IniDocument fresh;
  fresh.SetString("ARG", "osd", "1");
  EXPECT_EQ(fresh.Serialize(), "[ARG]\nosd=1\n");
  IniDocument cr = IniDocument::Parse("[A]\ra=1\r");
  cr.SetString("A", "b", "2");
  EXPECT_EQ(cr.Serialize(), "[A]\ra=1\rb=2\r");
}

TEST(IniWrite, UnchangedValueIsNoChange) {
  IniDocument doc = IniDocument::Parse("[A]\na = 1\nq=\"x\"\n");
  EXPECT_FALSE(doc.SetString("A", "A", "1"));
  EXPECT_FALSE(doc.Modified());
  // The comparison is with the value as written, so a quoted value is rewritten.
  EXPECT_TRUE(doc.SetString("A", "q", "x"));
  EXPECT_EQ(doc.Serialize(), "[A]\na = 1\nq=x\n");
}

TEST(IniWrite, RefusesTextThatWouldBreakTheLines) {
  IniDocument doc = IniDocument::Parse("[A]\n");
  EXPECT_THROW(doc.SetString("A", "k", "two\nlines"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", "k", "cr\r"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", "k=x", "v"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", ";k", "v"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", "[k", "v"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", " k", "v"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A", "", "v"), std::invalid_argument);
  EXPECT_THROW(doc.SetString("A]", "k", "v"), std::invalid_argument);
  EXPECT_FALSE(doc.Modified());
  EXPECT_EQ(doc.Serialize(), "[A]\n");
}

TEST(IniWrite, RoundTripOfEveryWrittenValue) {
  IniDocument doc;
  for (const std::string value : {"", "plain", "a=b", "; not a comment", "#x", "[x]", "日本語", "back\\nslash"}) {
    doc.SetString("S", "k", value);
    EXPECT_EQ(IniDocument::Parse(doc.Serialize()).GetString("S", "k", "@_NOSTR_"), value);
  }
}

class IniFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string Path(const std::string& name) { return dir.Path(name); }
};

TEST_F(IniFileTest, WriteKeepsEncodingAndLineEnds) {
  const std::string utf16 = "\xFF\xFE" + Utf8ToUtf16Le("[ARG]\r\nname=日本\r\n");
  test::WriteFile(Path("u16.ini"), utf16);
  ASSERT_TRUE(WriteProfileString(Path("u16.ini"), "ARG", "name", "中文"));
  EXPECT_EQ(test::ReadFile(Path("u16.ini")), "\xFF\xFE" + Utf8ToUtf16Le("[ARG]\r\nname=中文\r\n"));

  test::WriteFile(Path("bom.ini"), "\xEF\xBB\xBF[ARG]\nk=1\n");
  ASSERT_TRUE(WriteProfileString(Path("bom.ini"), "ARG", "j", "2"));
  EXPECT_EQ(test::ReadFile(Path("bom.ini")), "\xEF\xBB\xBF[ARG]\nk=1\nj=2\n");

  ASSERT_TRUE(WriteProfileString(Path("new.ini"), "ARG", "language", "1041"));
  EXPECT_EQ(test::ReadFile(Path("new.ini")), "[ARG]\nlanguage=1041\n");
  EXPECT_EQ(GetProfileInt(Path("new.ini"), "arg", "LANGUAGE", 1033), 1041);
}

TEST_F(IniFileTest, UnchangedWriteLeavesTheFileUntouched) {
  test::WriteFile(Path("set.ini"), "[ARG]\nosd=1\n");
  const auto before = std::filesystem::last_write_time(Path("set.ini"));
  std::filesystem::last_write_time(Path("set.ini"), before - std::chrono::hours(1));
  ASSERT_TRUE(WriteProfileString(Path("set.ini"), "ARG", "osd", "1"));
  EXPECT_EQ(std::filesystem::last_write_time(Path("set.ini")), before - std::chrono::hours(1));
}

TEST_F(IniFileTest, RewriteKeepsPermissionsAndLinks) {
  namespace fs = std::filesystem;
  test::WriteFile(Path("real.ini"), "[ARG]\nosd=1\n");
  fs::permissions(Path("real.ini"), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  fs::create_symlink(Path("real.ini"), Path("link.ini"));
  ASSERT_TRUE(WriteProfileString(Path("link.ini"), "ARG", "osd", "0"));
  EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
  EXPECT_EQ(test::ReadFile(Path("real.ini")), "[ARG]\nosd=0\n");
  EXPECT_EQ(fs::status(Path("real.ini")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryFilesAndFailCleanly) {
  ASSERT_TRUE(WriteProfileString(Path("set.ini"), "ARG", "osd", "1"));
  ASSERT_TRUE(WriteProfileString(Path("set.ini"), "ARG", "osd", "0"));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Root())) ++files;
  EXPECT_EQ(files, 1u);
  EXPECT_FALSE(WriteProfileString(Path("missing-dir/set.ini"), "ARG", "osd", "1"));
  EXPECT_FALSE(WriteProfileString(Path("set.ini"), "ARG", "osd", "a\nb"));
  EXPECT_EQ(test::ReadFile(Path("set.ini")), "[ARG]\nosd=0\n");
  const Outcome written = WriteProfileString(Path("missing-dir/set.ini"), "ARG", "osd", "1");
  EXPECT_EQ(written, Failure::kCannotWriteFile);
  EXPECT_EQ(written.detail, "no such file or directory");
}

TEST_F(IniFileTest, AFileThatIsThereButCannotBeReadSaysWhyAndIsNotSaved) {
  std::filesystem::create_directory(Path("set.ini"));
  IniDocument doc = IniDocument::Load(Path("set.ini"));
  EXPECT_FALSE(doc.Exists());
  EXPECT_EQ(doc.ReadError(), "is a directory");
  doc.SetString("ARG", "osd", "0");
  const Outcome saved = doc.Save(Path("set.ini"));
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.detail.find("is a directory"), std::string::npos) << saved.detail;
  EXPECT_EQ(IniDocument::Load(Path("missing.ini")).ReadError(), "");
}

}  // namespace
}  // namespace quorix

#include "options/language_setting.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "base/text_encoding.h"
#include "options/options_store.h"
#include "support/temp_dir.h"
#include "texts/language.h"

namespace quorix {
namespace {

// ReadLanguageId of a set.ini that can be read.
int LanguageId(const std::string& setIni) {
  const Result<int> id = ReadLanguageId(setIni);
  EXPECT_TRUE(id) << id.detail();
  return id ? *id : -1;
}

TEST(LangIdSwitch, WritesTheRestOfTheArgumentInAnyCase) {
  test::TempDir dir;
  const std::string setIni = dir.Path("set.ini");
  EXPECT_EQ(LanguageId(setIni), 1033);
  EXPECT_FALSE(ApplyLangIdArguments({"/hide", "/langid", "langid=1041"}, setIni));
  EXPECT_FALSE(std::filesystem::exists(setIni));
  EXPECT_TRUE(ApplyLangIdArguments({"/LANGID=1041"}, setIni));
  EXPECT_EQ(test::ReadFile(setIni), "[ARG]\nlanguage=1041\n");
  EXPECT_EQ(LanguageId(setIni), 1041);
  EXPECT_TRUE(ApplyLangIdArguments({"/langid=1028", "/langid=0x409"}, setIni));
  EXPECT_EQ(LanguageId(setIni), 0x409);
  EXPECT_TRUE(ApplyLangIdArguments({"/langid="}, setIni));
  EXPECT_EQ(LanguageId(setIni), 1033);  // an empty value reads as the default
}

TEST(SelectLanguage, SwitchThenStoredIdThenShippedTexts) {
  test::TempDir dir;
  const std::string data = DataFolderIn(dir.Path("Documents"));
  ASSERT_TRUE(PrepareDataFolder(data));
  LanguageSelection first = SelectLanguage({"/hide", "/LangID=1028"}, data, QUORIX_SOURCE_DATA_DIR);
  EXPECT_EQ(first.languageId, 1028);
  EXPECT_EQ(first.texts.buttonStr[0], "按鍵設定");
  // The next start without the switch keeps the stored language.
  LanguageSelection second = SelectLanguage({}, data, QUORIX_SOURCE_DATA_DIR);
  EXPECT_EQ(second.languageId, 1028);
  LanguageSelection english = SelectLanguage({}, dir.Path("elsewhere"), QUORIX_SOURCE_DATA_DIR);
  EXPECT_EQ(english.languageId, 1033);
  EXPECT_EQ(english.texts.buttonStr[0], "Button settings");
}

TEST(LanguageFile, LoadsFromUtf8AndUtf16Files) {
  test::TempDir dir;
  const std::string text =
      "[1041]\r\nButton_Str0=ボタン設定\r\nmsg_str10=No\\ndevice\r\n  end_str = \"終了\" "
      "\r\n[1041]\r\nend_str=late\r\n";
  test::WriteFile(dir.Path("utf8.ini"), text);
  test::WriteFile(dir.Path("utf16.ini"), "\xFF\xFE" + Utf8ToUtf16Le(text));
  for (const char* name : {"utf8.ini", "utf16.ini"}) {
    TextTables t = DefaultTextTables();
    LoadLanguageFile(t, dir.Path(name), 1041);
    EXPECT_EQ(t.buttonStr[0], "ボタン設定") << name;
    EXPECT_EQ(t.msgStr[10], "No\ndevice") << name;
    EXPECT_EQ(t.endStr, "終了") << name;
  }
  TextTables missing = DefaultTextTables();
  LoadLanguageFile(missing, dir.Path("none.ini"), 1041);
  EXPECT_EQ(missing.buttonStr[0], "Button settings");
}

TEST(LanguageFile, ValuesAreCutTo999Characters) {
  test::TempDir dir;
  test::WriteFile(dir.Path("long.ini"), "[1033]\nend_str=" + std::string(1500, 'x') + "\n");
  TextTables t = DefaultTextTables();
  LoadLanguageFile(t, dir.Path("long.ini"), 1033);
  EXPECT_EQ(t.endStr.size(), 999u);
}

TEST(ShippedLanguageFile, TranslatesEveryEntryWithADefault) {
  const std::string file = std::string(QUORIX_SOURCE_DATA_DIR) + "/language.ini";
  const IniDocument doc = IniDocument::Load(file);
  ASSERT_TRUE(doc.Exists());
  const TextTables english = DefaultTextTables();
  for (int id : {1041, 1028}) {
    TextTables t = DefaultTextTables();
    LoadLanguageFile(t, file, id);
    const std::vector<TextEntry> en = ListTextEntries(english);
    const std::vector<TextEntry> tr = ListTextEntries(t);
    ASSERT_EQ(en.size(), tr.size());
    for (size_t i = 0; i < en.size(); ++i) {
      if (en[i].text.empty()) continue;
      EXPECT_TRUE(doc.Find(std::to_string(id), en[i].key).has_value()) << id << " " << en[i].key;
      EXPECT_FALSE(tr[i].text.empty()) << id << " " << en[i].key;
      // Format directives must survive translation in number and order.
      auto directives = [](const std::string& s) {
        std::string d;
        for (size_t k = 0; k + 1 < s.size(); ++k) {
          if (s[k] == '%') d += s[++k];
        }
        return d;
      };
      EXPECT_EQ(directives(tr[i].text), directives(en[i].text)) << id << " " << en[i].key;
    }
  }
}

// A set.ini or language file that is there but cannot be read says why and
// leaves what the caller has alone; the start-up then goes on in English.
TEST(LanguageFiles, ThatCannotBeReadSayWhy) {
  test::TempDir dir;
  const std::string folder = dir.Path("set.ini");  // a folder where the file belongs
  std::filesystem::create_directories(folder);
  TextTables tables = DefaultTextTables();
  const Result<int> id = ReadLanguageId(folder);
  const Result<Options> options = LoadOptions(folder, {});
  const Outcome texts = LoadLanguageFile(tables, folder, 1041);
  for (const Outcome& read : {id.outcome(), options.outcome(), texts}) {
    EXPECT_EQ(read, Failure::kCannotReadFile);
    EXPECT_EQ(read.detail, "is a directory");
  }
  EXPECT_EQ(tables.buttonStr[0], "Button settings");
  EXPECT_EQ(SetIniCodePage(folder), kCodePageWindows1252);
}

TEST(DataFolder, NameAndCreation) {
  EXPECT_EQ(DataFolderIn("/home/u/Documents"), "/home/u/Documents/QUORIX Gaming Mouse Software/");
  EXPECT_EQ(DataFolderIn("/home/u/Documents/"), "/home/u/Documents/QUORIX Gaming Mouse Software/");
  test::TempDir dir;
  const std::string data = DataFolderIn(dir.Path("Documents"));
  EXPECT_TRUE(PrepareDataFolder(data));
  EXPECT_TRUE(PrepareDataFolder(data));
  EXPECT_TRUE(std::filesystem::is_directory(data + "Favorite"));
  test::WriteFile(dir.Path("file"), "x");
  const Outcome prepared = PrepareDataFolder(dir.Path("file") + "/");
  EXPECT_EQ(prepared, Failure::kCannotWriteFile);
  EXPECT_EQ(prepared.detail, "not a directory");
}

}  // namespace
}  // namespace quorix

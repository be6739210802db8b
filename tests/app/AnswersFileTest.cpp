// The runtime's own reader of the answers file: the fields simulate documents, and every
// damage refused with a message that names it.
#include <gtest/gtest.h>

#include "app/AnswersFile.h"
#include "system/Platform.h"

namespace {

TEST(AnswersFile, ReadsEveryFieldInFileOrder) {
  app::AnswersFile file = app::ParseAnswersFile(R"({
    "pages": {"TfrmAddonsTask": {"CheckBox1": false, "CheckBox2": true},
              "TfrmSelectInstallDir": {"Edit1": "D:\\\u6f14\u793a A"},
              "TfrmSelComponent": {"List_Component": [true, false]}},
    "cancelOn": "TfrmReadyIns", "answers": ["no", "yes"], "default": "yes"})");
  ASSERT_EQ(file.pages.size(), 3u);
  EXPECT_EQ(file.pages[0].page, "TfrmAddonsTask");
  ASSERT_EQ(file.pages[0].controls.size(), 2u);
  EXPECT_EQ(file.pages[0].controls[0].control, "CheckBox1");
  EXPECT_EQ(file.pages[0].controls[0].kind, app::ControlAnswer::Kind::Check);
  EXPECT_FALSE(file.pages[0].controls[0].checked);
  EXPECT_TRUE(file.pages[0].controls[1].checked);
  EXPECT_EQ(file.Page("TfrmSelectInstallDir")->controls[0].text, "D:\\\xE6\xBC\x94\xE7\xA4\xBA A");
  EXPECT_EQ(file.Page("TfrmSelComponent")->controls[0].marks, (std::vector<bool>{true, false}));
  EXPECT_EQ(file.cancelOn, "TfrmReadyIns");
  EXPECT_EQ(file.answers, (std::vector<int>{sys::kIdNo, sys::kIdYes}));
  EXPECT_EQ(file.defaultAnswer, sys::kIdYes);
  EXPECT_EQ(file.Page("TfrmEndIns"), nullptr);
}

TEST(AnswersFile, APlainListIsTheAnswers) {
  app::AnswersFile file = app::ParseAnswersFile("\xEF\xBB\xBF [\"yes\"] ");
  EXPECT_EQ(file.answers, std::vector<int>{sys::kIdYes});
  EXPECT_FALSE(file.defaultAnswer);
}

struct Damage {
  const char* json;
  const char* message;  // part of it
};

void PrintTo(const Damage& damage, std::ostream* os) { *os << damage.message; }

class DamagedAnswers : public testing::TestWithParam<Damage> {};

TEST_P(DamagedAnswers, AreRefusedNamingTheFault) {
  try {
    app::ParseAnswersFile(GetParam().json);
    FAIL() << "accepted " << GetParam().json;
  } catch (const app::AnswersError& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedAnswers,
    testing::Values(Damage{"", "line 1, column 1: unexpected end"},
                    Damage{"{\"pages\": {}", "expected ',' or '}'"},
                    Damage{"{\n  \"pagse\": {}}", "unknown field \"pagse\""},
                    Damage{"{\"answers\": [\"maybe\"]}", "\"yes\" or \"no\""},
                    Damage{"{\"answers\": \"yes\"}", "\"answers\" is a list"},
                    Damage{"{\"cancelOn\": 3}", "page class name"},
                    Damage{"{\"pages\": {\"TfrmAddonsTask\": {\"CheckBox1\": 1}}}",
                           "pages.TfrmAddonsTask.CheckBox1"},
                    Damage{"{\"pages\": {\"TfrmAddonsTask\": [true]}}", "maps control names"},
                    Damage{"\"yes\"", "a list of answers or an object"},
                    Damage{"[\"yes\"] x", "after the end"}, Damage{"[\"a\\q\"]", "escape"},
                    Damage{"[\"\\ud800\"]", "surrogate"},
                    Damage{"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]",
                           "nested too deeply"}));

}  // namespace

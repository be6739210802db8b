// The Chinese sentences a person reads when a run fails: each runtime error text, the damaged
// package family, and the caption before and after the product is named.
#include "wizard/SetupErrors.h"

#include <gtest/gtest.h>

#include "system/Error.h"
#include "system/SystemHelpers.h"
#include "system/sandbox/Encoding.h"
#include "undo/Rollback.h"

namespace {

struct ErrorCase {
  const char* message;
  const char* text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << sys::sandbox::GbkToUtf8(c.message); }

class FailureText : public testing::TestWithParam<ErrorCase> {};

TEST_P(FailureText, NamesWhatFailedInChinese) {
  EXPECT_EQ(wizard::SetupFailureText(sys::Error(GetParam().message)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailureText,
    testing::Values(
        ErrorCase{"安装包已损坏", "安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"},
        ErrorCase{"error", "安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"},
        ErrorCase{"Stream read error", "安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"},
        ErrorCase{"Cannot create file \"C:\\App\\a.exe\"", "安装没有完成：无法创建文件“C:\\App\\a.exe”。"},
        ErrorCase{"Cannot open file \"C:\\App\\b.ini\"", "安装没有完成：无法打开文件“C:\\App\\b.ini”。"},
        ErrorCase{"Failed to create key Software\\Demo", "安装没有完成：无法创建注册表项“Software\\Demo”。"},
        ErrorCase{"Failed to set data for 'Path'", "安装没有完成：无法写入注册表值“Path”。"},
        ErrorCase{"Stream write error", "安装没有完成：写入文件失败，磁盘空间可能不足。"},
        ErrorCase{"Cannot write file \"C:\\App\\c.dat\"", "安装没有完成：无法写入文件“C:\\App\\c.dat”。"},
        ErrorCase{"Cannot create file \"", "安装没有完成：Cannot create file \"。"},
        ErrorCase{"something else", "安装没有完成：something else。"}));

TEST(FailureText, AfterARollbackListsWhatStayedChanged) {
  const sys::Error cause(sys::Format(sys::kCannotCreateFile, "C:\\App\\u.exe"), 5);
  EXPECT_EQ(wizard::SetupFailureText(undo::RollbackError(cause, {})), "安装没有完成：无法创建文件“C:\\App\\u.exe”。");
  EXPECT_EQ(wizard::SetupFailureText(undo::RollbackError(cause, {"已运行“regsvr32.exe /s \"C:\\App\\a.dll\"”",
                                                   "无法删除文件“C:\\App\\b.dll”"})),
            "安装没有完成：无法创建文件“C:\\App\\u.exe”。\r\n\r\n已做的更改已撤销，但以下各项无法撤销："
            "\r\n已运行“regsvr32.exe /s \"C:\\App\\a.dll\"”\r\n无法删除文件“C:\\App\\b.dll”");
}

TEST(FailureCaption, IsTheWizardTitleOnceTheProductIsNamed) {
  sys::WizardTitle.clear();
  EXPECT_EQ(wizard::SetupFailureCaption(), "安装程序");
  sys::WizardTitle = "“演示”安装向导";
  EXPECT_EQ(wizard::SetupFailureCaption(), "“演示”安装向导");
  sys::WizardTitle.clear();
}

}  // namespace

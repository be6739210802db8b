// The welcome, licence and readme pages: texts formatted from the product's name, what each
// shows from its settings, files loaded once, and the licence's Next caption.
#include <gtest/gtest.h>

#include "tests/wizard/PageFixture.h"
#include "ui/BrowserPane.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/headless/WidgetAutomation.h"

namespace wizardtest {
namespace {

using InfoPages = PageTest;

constexpr const char* kLicencePath = "C:\\Users\\user\\AppData\\Local\\Temp\\Info\\license.txt";
const std::string kLicence = "软件许可协议\r\n一、本软件的版权归演示科技所有。\r\n";

TEST_F(InfoPages, WelcomeTextsShowTheNameLiterallyEvenWithPercentSigns) {
  builder.Setting("项目名称", "演示%s%d");
  EnablePages({"欢迎"});
  EnableLastPages();
  OpenFrame();
  auto& welcome = Page<TfrmFist>();
  EXPECT_EQ(welcome.Caption(), "首页");
  EXPECT_EQ(welcome.Label1->Caption(), "欢迎使用“演示%s%d”安装向导");
  EXPECT_EQ(welcome.Label2->Caption(),
            "欢迎使用“演示%s%d”，这个向导将指引您完成对“演示%s%d”的安装进程。");
  EXPECT_TRUE(welcome.Label1->GetFont().Bold);
  EXPECT_EQ(welcome.Label1->GetFont().Height, 16);
  EXPECT_EQ(welcome.Label3->Caption(),
            "在开始安装之前，建议先关闭其它应用程序，这将使安装向导能顺利安装所有文件。\r\n\r\n"
            "点击[下一步(&N)>]将继续。");
  EXPECT_FALSE(welcome.Label4->Visible()) << "no company name given";
  EXPECT_FALSE(welcome.Label5->Visible()) << "no address given";
}

TEST_F(InfoPages, WelcomeShowsTheCompanyAndTheLinkOnlyWhenGiven) {
  EnablePages({"欢迎"});
  EnableLastPages();
  builder.Setting("公司名称", "", 2);
  builder.Setting("网址", "http://www.example.com/", 2);
  OpenFrame();
  auto& welcome = Page<TfrmFist>();
  EXPECT_FALSE(welcome.Label4->Visible());
  ASSERT_TRUE(welcome.Label5->Visible());
  EXPECT_EQ(welcome.Label5->Caption(), "http://www.example.com/");
  EXPECT_EQ(welcome.Label5->GetCursor(), ui::Cursor::HandPoint);
  EXPECT_TRUE(welcome.Label5->GetFont().Underline);
  EXPECT_EQ(welcome.Label5->GetFont().Color, ui::kClBlue);
  welcome.Label5->Click();
  auto runs = Journal("shellRun");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["verb"], "Open");
  EXPECT_EQ(runs[0]["file"], "http://www.example.com/");
}

TEST_F(InfoPages, WelcomeLaterItemsWinAndTheBackgroundNeedsItsFile) {
  host.WriteFile("C:\\Temp\\side.bmp", std::string("BM") + std::string(60, '\0'));
  EnablePages({"欢迎"});
  EnableLastPages();
  builder.Setting("公司名称", "演示科技", 2);
  builder.Setting("公司名称", "", 2);
  builder.Setting("背景图片", "C:\\Temp\\side.bmp", 2);
  OpenFrame();
  auto& welcome = Page<TfrmFist>();
  EXPECT_FALSE(welcome.Label4->Visible()) << "the later, empty item wins";
  EXPECT_EQ(welcome.Image1->PicturePath(), "C:\\Temp\\side.bmp");
  EXPECT_EQ(welcome.Image1->Width(), 508);
  EXPECT_EQ(welcome.Image1->Height(), 287);
}

TEST_F(InfoPages, WelcomeWithAMissingBackgroundShowsWithoutIt) {
  EnablePages({"欢迎"});
  EnableLastPages();
  builder.Setting("背景图片", "C:\\Temp\\missing.bmp", 2);
  builder.Setting("公司名称", "演示科技", 2);
  OpenFrame();
  auto& welcome = Page<TfrmFist>();
  EXPECT_FALSE(welcome.Image1->HasPicture());
  EXPECT_TRUE(welcome.Label4->Visible());
  EXPECT_EQ(welcome.Label4->Caption(), "演示科技");
}

TEST_F(InfoPages, LicenceAgreesWithNextAndLoadsItsFileOnce) {
  host.WriteFile(kLicencePath, kLicence);
  EnablePages({"欢迎", "安装协议"});
  EnableLastPages();
  builder.Setting("协议文件", kLicencePath, 3);
  OpenFrame();
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  Next();
  ASSERT_EQ(Current(), "TfrmProtocol");
  EXPECT_EQ(frame->bNext->Caption(), "我同意(&T)");
  auto& licence = Page<TfrmProtocol>();
  EXPECT_EQ(licence.WebBrowser1->Content(), kLicence) << "the GBK bytes, untouched";
  EXPECT_EQ(licence.WebBrowser1->Format(), ui::DocumentFormat::PlainText);
  EXPECT_EQ(licence.WebBrowser1->Parent(), licence.Panel10);
  EXPECT_EQ(licence.WebBrowser1->Width(), 476);
  EXPECT_EQ(licence.WebBrowser1->Height(), 156);

  ui::ClickButton(*frame, "bPrevious");
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  host.WriteFile(kLicencePath, "changed");
  Next();
  EXPECT_EQ(frame->bNext->Caption(), "我同意(&T)");
  EXPECT_EQ(licence.WebBrowser1->Navigations(), 1) << "coming back does not reload";
  EXPECT_EQ(licence.WebBrowser1->Content(), kLicence);
  EXPECT_NE(ui::RenderForm(*frame).find(std::string(kLicencePath) + ": 软件许可协议 ..."),
            std::string::npos)
      << "the rendering names the file and shows its first visible line";
  Next();
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
}

TEST_F(InfoPages, LicenceWithAMissingFileShowsAnEmptyPane) {
  host.WriteFile("C:\\Temp\\title.bmp", std::string("BM") + std::string(60, '\0'));
  EnablePages({"安装协议"});
  EnableLastPages();
  builder.Setting("标题图片", "C:\\Temp\\title.bmp", 3);
  builder.Setting("协议文件", "C:\\Temp\\gone.txt", 3);
  OpenFrame();
  auto& licence = Page<TfrmProtocol>();
  EXPECT_TRUE(licence.WebBrowser1->Text().empty());
  EXPECT_EQ(licence.WebBrowser1->Navigations(), 1);
  EXPECT_EQ(licence.Img_Pro_Head->PicturePath(), "C:\\Temp\\title.bmp");
  EXPECT_EQ(licence.Img_Pro_Head->Height(), 60);
  EXPECT_TRUE(licence.Img_Pro_Head->Stretch());
  EXPECT_EQ(licence.Label6->Caption(), "请仔细阅读该协议  按[PgDn]向上卷动页面");
}

TEST_F(InfoPages, PgDnScrollsTheLicenceOfTheCurrentPage) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "第" + std::to_string(i) + "条\r\n";
  host.WriteFile(kLicencePath, text);
  host.WriteFile("C:\\Temp\\readme.txt", text);
  EnablePages({"安装协议", "软件使用说明"});
  EnableLastPages();
  builder.Setting("协议文件", kLicencePath, 3);
  builder.Setting("说明文件", "C:\\Temp\\readme.txt", 5);
  OpenFrame();
  ui::PageDown(*frame, "WebBrowser1");
  EXPECT_EQ(Page<TfrmProtocol>().WebBrowser1->TopLine(), 13) << "156 pixels hold 13 lines";
  Next();
  ui::PageDown(*frame, "WebBrowser1");
  EXPECT_EQ(Page<TfrmSoftExplaion>().WebBrowser1->TopLine(), 12) << "the readme pane is 154 high";
  EXPECT_EQ(Page<TfrmProtocol>().WebBrowser1->TopLine(), 13) << "the licence kept its place";
}

TEST_F(InfoPages, ReadmeLoadsOnItsFirstVisitOnly) {
  host.WriteFile("C:\\Temp\\readme.htm", "<p>说明</p>");
  EnablePages({"欢迎", "软件使用说明"});
  EnableLastPages();
  builder.Setting("说明文件", "C:\\Temp\\readme.htm", 5);
  OpenFrame();
  auto& readme = Page<TfrmSoftExplaion>();
  EXPECT_EQ(readme.WebBrowser1->Navigations(), 0) << "a page not yet reached loads nothing";
  Next();
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  EXPECT_EQ(readme.Caption(), "软件说明");
  EXPECT_EQ(readme.WebBrowser1->Format(), ui::DocumentFormat::Html);
  EXPECT_EQ(readme.WebBrowser1->Text(), "说明\r\n");
  ui::ClickButton(*frame, "bPrevious");
  Next();
  EXPECT_EQ(readme.WebBrowser1->Navigations(), 1);
}

}  // namespace
}  // namespace wizardtest

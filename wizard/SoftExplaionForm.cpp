#include "wizard/SoftExplaionForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "ui/BrowserPane.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "wizard/PageControls.h"

TfrmSoftExplaion::TfrmSoftExplaion(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("软件说明");
  SetClientSize(508, 294);
  Image2 = wizard::AddHeaderImage(*this, "Image2");
  Image2->SetStretch(true);
  Label8 = wizard::AddHeaderLabel(*this, "Label8", 16, 13, "软件自述说明", true);
  Label15 = wizard::AddHeaderLabel(*this, "Label15", 40, 32, "该信息是对软件使用的说明，请详细阅读。",
                           false);
  Label16 = wizard::AddFixedLabel(*this, "Label16", 16, 66, 465, 12,
                          "请仔细阅读该说明  按[PgDn]向上卷动页面", false);
  WebBrowser1 = wizard::AddDocumentPane(*this, Panel9, "Panel9", 16, 90, 463, 154);
  Label17 = wizard::AddFixedLabel(*this, "Label17", 16, 257, 420, 24,
                          "如果你已仔细阅读，单击[下一步(&N)>]按钮继续安装，如果你选定取消, "
                          "安装程序将会关闭。",
                          true);
}

void TfrmSoftExplaion::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupReadme)) {
    if (sys::SameText(item->Caption, package::ReadmeCaptions[0])) {
      Image2->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::ReadmeCaptions[1])) {
      WebBrowser1->Navigate(item->Value);
    }
  }
}

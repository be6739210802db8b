#include "wizard/ProtocolForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "ui/BrowserPane.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "wizard/PageControls.h"

TfrmProtocol::TfrmProtocol(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("安装协议");
  SetClientSize(508, 294);
  Img_Pro_Head = wizard::AddHeaderImage(*this, "Img_Pro_Head");
  Img_Pro_Head->SetBounds(0, 0, ClientWidth(), 60);
  Img_Pro_Head->SetStretch(true);
  Label7 = wizard::AddHeaderLabel(*this, "Label7", 16, 11, "软件许可协议书", true);
  Lb_Pro_Head = wizard::AddHeaderLabel(*this, "Lb_Pro_Head", 43, 29, "请在继续安装之前，详细阅读下面协议",
                               false);
  Label6 = wizard::AddFixedLabel(*this, "Label6", 15, 66, 474, 12,
                         "请仔细阅读该协议  按[PgDn]向上卷动页面", false);
  WebBrowser1 = wizard::AddDocumentPane(*this, Panel10, "Panel10", 15, 87, 476, 156);
  Label5 = wizard::AddFixedLabel(*this, "Label5", 15, 256, 474, 24,
                         "如果您已仔细阅读，并同意该协议，单击[我同意(&N)]按钮继续安装，如果您选定"
                         "取消, 安装程序将会关闭。必须要同意该协议才能安装",
                         true);
}

void TfrmProtocol::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupLicense)) {
    if (sys::SameText(item->Caption, package::LicenseCaptions[0])) {
      Img_Pro_Head->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::LicenseCaptions[1])) {
      WebBrowser1->Navigate(item->Value);
    }
  }
}

// Buttons, check boxes and radio buttons on Qt's buttons; static texts on a QLabel.
#include "platform/user/button.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "platform/gdi/qt_text.h"

IMPLEMENT_DYNAMIC(CButton, CChildControl)
IMPLEMENT_DYNAMIC(CStatic, CChildControl)

namespace {

// Qt toggles a check box or radio button on every click; ours decide for
// themselves (automatic ones in Clicked, others by the program).
template <class Base>
class CProgramChecked final : public Base {
 public:
  using Base::Base;

 protected:
  void nextCheckState() override {}
};

QString Shown(const CString& text) {
  // "&" marks the access key in both worlds; "&&" is a plain ampersand in both.
  return gdi::ToQt(text);
}

// A static's text as shown: without SS_NOPREFIX a lone "&" marks the access
// key and is not shown, "&&" shows one.
QString StaticText(const CString& text, DWORD style) {
  if (style & SS_NOPREFIX) return gdi::ToQt(text);
  std::string shown;
  const std::string& raw = text.str();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '&' && i + 1 < raw.size()) ++i;
    else if (raw[i] == '&') continue;
    shown += raw[i];
  }
  return gdi::ToQt(shown);
}

}  // namespace

QWidget* CButton::MakeControl(QWidget* host) {
  QAbstractButton* button = nullptr;
  switch (GetButtonType()) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
      button = new CProgramChecked<QCheckBox>(host);
      break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      button = new CProgramChecked<QRadioButton>(host);
      button->setAutoExclusive(false);
      break;
    default: {
      auto* push = new QPushButton(host);
      push->setDefault(GetButtonType() == BS_DEFPUSHBUTTON);
      push->setAutoDefault(false);
      button = push;
      break;
    }
  }
  button->setText(Shown(GetWindowText()));
  button->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(button, &QAbstractButton::clicked, button, [this] { Clicked(); });
  return button;
}

void CButton::Clicked() {
  switch (GetButtonType()) {
    case BS_AUTOCHECKBOX:
      SetCheck(GetCheck() ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTORADIOBUTTON:
      ClearGroup();
      SetCheck(BST_CHECKED);
      break;
    default:
      break;
  }
  NotifyParent(BN_CLICKED);
}

void CButton::ClearGroup() {
  // The group runs from the nearest WS_GROUP control at or before this one
  // to the next WS_GROUP control.
  CWnd* first = this;
  while (!(first->GetStyle() & WS_GROUP)) {
    CWnd* previous = first->GetWindow(GW_HWNDPREV);
    if (!previous) break;
    first = previous;
  }
  for (CWnd* w = first; w; w = w->GetWindow(GW_HWNDNEXT)) {
    if (w != first && (w->GetStyle() & WS_GROUP)) break;
    auto* other = dynamic_cast<CButton*>(w);
    if (other && other != this && other->IsRadio()) other->SetCheck(BST_UNCHECKED);
  }
}

void CButton::OnWindowTextChanged() {
  if (auto* button = qobject_cast<QAbstractButton*>(GetControlWidget())) button->setText(Shown(GetWindowText()));
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = qobject_cast<QAbstractButton*>(GetControlWidget());
  if (!button) return CChildControl::DefWindowProc(message, wParam, lParam);
  switch (message) {
    case BM_GETCHECK:
      return button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      if (button->isCheckable()) button->setChecked(wParam == BST_CHECKED);
      return 0;
    case BM_SETSTYLE: {
      ModifyStyle(BS_TYPEMASK, static_cast<DWORD>(wParam) & BS_TYPEMASK);
      if (auto* push = qobject_cast<QPushButton*>(button)) push->setDefault(GetButtonType() == BS_DEFPUSHBUTTON);
      return 0;
    }
    case BM_CLICK:
      button->click();
      return 0;
    default:
      return CChildControl::DefWindowProc(message, wParam, lParam);
  }
}

QWidget* CStatic::MakeControl(QWidget* host) {
  const DWORD type = GetStyle() & SS_TYPEMASK;
  if (type == SS_BLACKFRAME) {
    auto* frame = new QFrame(host);
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet("QFrame { border: 1px solid black; }");
    frame->setFocusPolicy(Qt::NoFocus);
    return frame;
  }
  auto* label = new QLabel(host);
  label->setFocusPolicy(Qt::NoFocus);
  if (type == SS_ICON) {
    // The program's icon: the information sign of the style, at the size of an icon.
    const int size = label->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, label);
    label->setPixmap(label->style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, label).pixmap(size, size));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
  }
  Qt::Alignment h = type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
  label->setAlignment(h | Qt::AlignTop);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setText(StaticText(GetWindowText(), GetStyle()));
  return label;
}

void CStatic::OnWindowTextChanged() {
  const DWORD type = GetStyle() & SS_TYPEMASK;
  if (type == SS_ICON || type == SS_BLACKFRAME) return;
  if (auto* label = qobject_cast<QLabel*>(GetControlWidget())) label->setText(StaticText(GetWindowText(), GetStyle()));
}

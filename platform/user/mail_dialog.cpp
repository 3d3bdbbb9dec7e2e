// The mail dialog on Qt widgets: a form of To and Subject, the text, the attachments and Send or Cancel.
#include "platform/user/mail_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/user/qt_modal.h"
#include "platform/user/wait_cursor.h"

namespace tvn::sys {

bool RunMailDialog(MailDialogFields& fields) {
  if (!QApplication::instance()) return false;
  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(QStringLiteral("Send Mail"));
  dialog.setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  auto* to = new QLineEdit(QString::fromStdString(fields.to));
  auto* subject = new QLineEdit(QString::fromStdString(fields.subject));
  form->addRow(QStringLiteral("To:"), to);
  form->addRow(QStringLiteral("Subject:"), subject);
  layout->addLayout(form);
  auto* text = new QPlainTextEdit(QString::fromStdString(fields.text));
  layout->addWidget(text);
  if (!fields.attachments.empty()) {
    auto* files = new QListWidget;
    files->setObjectName(QStringLiteral("attachments"));
    for (const std::string& name : fields.attachments) files->addItem(QString::fromStdString(name));
    files->setMaximumHeight(80);
    layout->addWidget(files);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  buttons->addButton(QStringLiteral("Send"), QDialogButtonBox::AcceptRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  CWaitCursorPause pause;
  if (ExecQtModal(dialog) != QDialog::Accepted) return false;
  fields.to = to->text().toStdString();
  fields.subject = subject->text().toStdString();
  fields.text = text->toPlainText().toStdString();
  return true;
}

}  // namespace tvn::sys

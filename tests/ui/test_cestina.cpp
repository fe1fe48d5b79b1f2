// Qt's own texts speak Czech: its translations are loaded by the program's application object.

#include "NorlinkApplication.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(Cestina, FileDialogAndStandardButtonsSpeakCzech) {
    auto* app = qobject_cast<TNorlinkApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(app->CeskyQt());

    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'),
              QString::fromUtf8("Zrušit"));
    EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text().remove('&'),
              QString::fromUtf8("Otevřít"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_TRUE(labels.contains(QString::fromUtf8("Hledat v:"))) << labels.join('|').toStdString();

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), QString::fromUtf8("Ano"));
}

} // namespace

#include "Main.h"

#include "Dialogy.h"
#include "Hlaseni.h"
#include "editace/EditaceExpanderu.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

#include <utility>

// The view: what the logic sets and reads through IFrm_Main, drawn on the window's controls.

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// A recipient cell's note on an index brought into range, and how long the status bar shows it.
constexpr int k_RoleOmezeni = Qt::UserRole + 1;
constexpr int k_ZpravaStavuMs = 6000;

} // namespace

void TFrm_Main::SetCaption(const std::string& text) {
    setWindowTitle(Q(text));
}
std::string TFrm_Main::Caption() const {
    return windowTitle().toStdString();
}

void TFrm_Main::SetEnabled(TOvladac control, bool enabled) {
    Ovladac(control)->setEnabled(enabled);
}
bool TFrm_Main::Enabled(TOvladac control) const {
    return Ovladac(control)->isEnabled();
}

void TFrm_Main::SetCellText(TMrizka grid, int col, int row, const std::string& text) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        item->setText(Q(text));
        item->setData(k_RoleOmezeni, QVariant());
    }
}

void TFrm_Main::OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        item->setData(k_RoleOmezeni, Q(text));
    }
    Stb_Main->showMessage(Q(text), k_ZpravaStavuMs);
}

TEditGrid::TPopis TFrm_Main::PopisPrijemce(TMrizka grid, int col, int row) const {
    TEditGrid::TPopis popis;
    const QTableWidgetItem* item = Mrizka(grid)->item(row, col);
    if (col < 1 || row < 1 || item == nullptr) {
        return popis;
    }
    if (const auto odkaz = OdkazBunky(item->text().toStdString())) {
        const std::string cislo = CellText(TMrizka::Hg_PhoneNumbers, 1, *odkaz + 1);
        popis.Vedle = cislo.empty() ? Q("prázdné") : Q(cislo);
        popis.Varovani = cislo.empty();
        popis.Tip = Q(PopisOdkazu(*odkaz, cislo));
    }
    const QString omezeni = item->data(k_RoleOmezeni).toString();
    if (!omezeni.isEmpty()) {
        popis.Tip = popis.Tip.isEmpty() ? omezeni : popis.Tip + QChar('\n') + omezeni;
    }
    return popis;
}

std::string TFrm_Main::CellText(TMrizka grid, int col, int row) const {
    const QTableWidgetItem* item = Mrizka(grid)->item(row, col);
    return item != nullptr ? item->text().toStdString() : std::string();
}

void TFrm_Main::SetCellBold(TMrizka grid, int col, int row, bool bold) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        if (item->font().bold() != bold) {
            QFont font = item->font();
            font.setBold(bold);
            item->setFont(font);
        }
    }
}

void TFrm_Main::SetMemoBold(TMemo memo, bool bold) {
    TMemoEdit* edit = Memo(memo);
    if (edit->font().bold() != bold) {
        QFont font = edit->font();
        font.setBold(bold);
        edit->setFont(font);
    }
    // Shown only while the memo is empty: a text the write will erase.
    edit->setPlaceholderText(bold ? Q("(smazáno – zápis text vymaže)") : QString());
}

void TFrm_Main::SetToolTip(TOvladac control, const std::string& text) {
    Ovladac(control)->setToolTip(Q(text));
}

std::optional<std::string> TFrm_Main::OtevriSoubor(const std::string& caption,
                                                   const std::string& folder,
                                                   const std::string& filter) {
    const QString path = QFileDialog::getOpenFileName(this, Q(caption), Q(folder), Q(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

void TFrm_Main::SetMemoText(TMemo memo, const std::string& text) {
    Memo(memo)->SetText(text);
}
std::string TFrm_Main::MemoText(TMemo memo) const {
    return Memo(memo)->Text();
}
void TFrm_Main::SetMemoMaxLength(TMemo memo, int length) {
    Memo(memo)->SetMaxLength(length);
    ObnovDelky();
}

void TFrm_Main::ClearItems(TSeznam list) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->clear();
}

void TFrm_Main::AddItem(TSeznam list, const std::string& text) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->addItem(Q(text));
}

int TFrm_Main::ItemCount(TSeznam list) const {
    return Seznam(list)->count();
}

std::string TFrm_Main::ItemText(TSeznam list, int index) const {
    return Seznam(list)->itemText(index).toStdString();
}

void TFrm_Main::SetItemIndex(TSeznam list, int index) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->setCurrentIndex(index);
}

int TFrm_Main::ItemIndex(TSeznam list) const {
    return Seznam(list)->currentIndex();
}

void TFrm_Main::SetPocetExpanderu(int value) {
    const QSignalBlocker blocker(SEdt_PocetExpanderu);
    SEdt_PocetExpanderu->setValue(value);
}

int TFrm_Main::PocetExpanderu() const {
    return SEdt_PocetExpanderu->value();
}

void TFrm_Main::SetPanelText(int panel, const std::string& text) {
    if (panel >= 0 && panel < static_cast<int>(Stb_Panels.size())) {
        Stb_Panels.at(static_cast<std::size_t>(panel))->setText(Q(text));
    }
}

std::string TFrm_Main::PanelText(int panel) const {
    if (panel >= 0 && panel < static_cast<int>(Stb_Panels.size())) {
        return Stb_Panels.at(static_cast<std::size_t>(panel))->text().toStdString();
    }
    return {};
}

void TFrm_Main::ZobrazPortMenu(const TPortMenu& menu) {
    fPortMenu = menu;
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        QAction* action = cmCOM.at(static_cast<std::size_t>(item - 1));
        const TPolozkaPortu& polozka = menu.Polozka(item);
        const QSignalBlocker blocker(action);
        action->setText(Q(polozka.Titulek));
        action->setProperty("tag", polozka.Tag);
        action->setVisible(polozka.Viditelna);
        action->setChecked(polozka.Zaskrtnuta);
    }
    for (std::size_t i = 0; i < cmSmerPolozky.size(); ++i) {
        const QSignalBlocker blocker(cmSmerPolozky.at(i));
        cmSmerPolozky.at(i)->setChecked(i == static_cast<std::size_t>(menu.Smer));
    }
    // In an exclusive group, ticking one item unticks the others: settle them once more.
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        QAction* action = cmCOM.at(static_cast<std::size_t>(item - 1));
        const QSignalBlocker blocker(action);
        action->setChecked(menu.Polozka(item).Zaskrtnuta);
    }
}

void TFrm_Main::SetLed(bool on) {
    Led_Incoming->SetOn(on);
}
bool TFrm_Main::LedOn() const {
    return Led_Incoming->On();
}
void TFrm_Main::SetLedAktivni(bool aktivni) {
    Led_Incoming->SetAktivni(aktivni);
}

void TFrm_Main::Varovani(const std::string& text, const std::string& detail) {
    UkazHlaseni(this, QMessageBox::Warning, Q("Varování"), Q(text), Q(detail), {Q("OK")}, 0, 0);
}

bool TFrm_Main::OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) {
    return UkazHlaseni(this, QMessageBox::Warning, Q("Varování"), Q(text), {},
                       {Q("&Ano"), Q("&Ne")}, vychozi == TVychoziOdpoved::Ne ? 1 : 0, 1) == 0;
}

void TFrm_Main::Chyba(const std::string& text) {
    UkazHlaseni(this, QMessageBox::Critical, Q("Chyba"), Q(text), {}, {Q("OK")}, 0, 0);
}

void TFrm_Main::Zprava(const std::string& text, const std::string& detail) {
    UkazHlaseni(this, QMessageBox::NoIcon, Q("NORLINK"), Q(text), Q(detail), {Q("OK")}, 0, 0);
}

std::optional<std::string> TFrm_Main::InputQuery(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(initial));
    dialog.setOkButtonText(Q("OK"));
    dialog.setCancelButtonText(Q("Zrušit"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().toStdString();
}

bool TFrm_Main::KontrolaZapisu(const std::vector<std::string>& zmeny,
                               const std::vector<std::string>& varovani,
                               const std::string& souhrn) {
    QStringList z;
    for (const std::string& r : zmeny) {
        z << Q(r);
    }
    QStringList v;
    for (const std::string& r : varovani) {
        v << Q(r);
    }
    return UkazKontroluZapisu(this, z, v, Q(souhrn));
}

std::optional<int> TFrm_Main::VyberZeSeznamu(const std::string& caption, const std::string& prompt,
                                             const std::vector<std::string>& polozky) {
    QStringList p;
    for (const std::string& r : polozky) {
        p << Q(r);
    }
    return UkazVyber(this, Q(caption), Q(prompt), p);
}

IInfoForm& TFrm_Main::InfoForm() {
    VytvorInfoForm();
    return *fInfoForm;
}

void TFrm_Main::Naplanuj(std::function<void()> krok) {
    QTimer::singleShot(0, this, std::move(krok));
}

void TFrm_Main::ObnovDelky() {
    const auto memos = Mema();
    for (std::size_t i = 0; i < memos.size(); ++i) {
        const TMemoEdit* memo = memos.at(i);
        QLabel* counter = Lbl_Delka.at(i);
        const int delka = memo->Length();
        const int limit = memo->MaxLength();
        counter->setText(limit > 0 ? QStringLiteral("%1/%2").arg(delka).arg(limit)
                                   : QString::number(delka));
        // From nine tenths of the limit on the colour warns; at the limit nothing more goes in.
        QString barva;
        if (limit > 0 && delka >= limit) {
            barva = QStringLiteral("#c00000");
        } else if (limit > 0 && delka * 10 >= limit * 9) {
            barva = QStringLiteral("#b06000");
        }
        counter->setStyleSheet(barva.isEmpty() ? QString() : QStringLiteral("color: ") + barva);
    }
}

#include "KomunikacniLog.h"

#include "Hlaseni.h"
#include "spojeni/ComLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString Druh(TDruhZaznamu druh) {
    switch (druh) {
    case TDruhZaznamu::Odeslano:
        return QString::fromUtf8("Odesláno");
    case TDruhZaznamu::Prijato:
        return QString::fromUtf8("Přijato");
    case TDruhZaznamu::Chyba:
        return QString::fromUtf8("Chyba");
    case TDruhZaznamu::Jine:
        break;
    }
    return {};
}

QString Zprava(const TComMessage& record) {
    const std::string_view text = record.Message();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TModelLogu::NastavLog(const TComLog* log) {
    beginResetModel();
    fLog = log;
    fRadky.clear();
    if (log != nullptr) {
        for (std::size_t i = 0; i < log->Count(); ++i) {
            if (ProjdeFiltrem(fFiltr, (*log)[i].Message())) {
                fRadky.push_back(i);
            }
        }
    }
    fZmeny = log != nullptr ? log->Zmeny() : 0;
    endResetModel();
}

void TModelLogu::NastavFiltr(TFiltrLogu filtr) {
    fFiltr = filtr;
    NastavLog(fLog);
}

bool TModelLogu::Obnov() {
    if (fLog == nullptr || fLog->Zmeny() == fZmeny) {
        return false;
    }
    NastavLog(fLog);
    return true;
}

int TModelLogu::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fRadky.size());
}

int TModelLogu::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TModelLogu::data(const QModelIndex& index, int role) const {
    if (fLog == nullptr || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const TComMessage& record = (*fLog)[fRadky.at(static_cast<std::size_t>(index.row()))];
    const QString text = Zprava(record);
    if (role == Qt::DisplayRole) {
        return index.column() == 0 ? Druh(DruhZaznamu(record.Message())) : text;
    }
    if (role == Qt::ForegroundRole && DruhZaznamu(record.Message()) == TDruhZaznamu::Chyba) {
        return QColor(Qt::darkRed);
    }
    return {};
}

QVariant TModelLogu::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QString::fromUtf8("Druh") : QString::fromUtf8("Záznam");
}

TKomunikacniLog::TKomunikacniLog(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Frm_KomunikacniLog"));
    setWindowTitle(QString::fromUtf8("Komunikační log"));
    fModel = new TModelLogu(this);
    Tbl_Zaznamy = new QTableView(this);
    Tbl_Zaznamy->setObjectName(QStringLiteral("Tbl_Zaznamy"));
    Tbl_Zaznamy->setModel(fModel);
    Tbl_Zaznamy->verticalHeader()->hide();
    Tbl_Zaznamy->horizontalHeader()->setStretchLastSection(true);
    Tbl_Zaznamy->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tbl_Zaznamy->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height: the view lays out only what it shows.
    Tbl_Zaznamy->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Tbl_Zaznamy->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("Odeslánoxx")));
    Cmb_Filtr = new QComboBox(this);
    Cmb_Filtr->setObjectName(QStringLiteral("Cmb_Filtr"));
    Cmb_Filtr->addItems(
        {QString::fromUtf8("Vše"), QString::fromUtf8("Bez výzev"), QString::fromUtf8("Jen chyby")});
    Cmb_Filtr->setCurrentIndex(static_cast<int>(fModel->Filtr()));
    connect(Cmb_Filtr, &QComboBox::currentIndexChanged, this,
            [this](int index) { fModel->NastavFiltr(static_cast<TFiltrLogu>(index)); });
    auto* filtr = new QLabel(QString::fromUtf8("&Zobrazit:"), this);
    filtr->setBuddy(Cmb_Filtr);
    Chk_JenZobrazene = new QCheckBox(QString::fromUtf8("Uložit jen zobrazené"), this);
    Chk_JenZobrazene->setObjectName(QStringLiteral("Chk_JenZobrazene"));
    Chk_JenZobrazene->setChecked(true);
    Btn_Uloz = new QPushButton(QString::fromUtf8("Uložit do souboru…"), this);
    Btn_Uloz->setObjectName(QStringLiteral("Btn_Uloz"));
    Btn_Vymaz = new QPushButton(QString::fromUtf8("Vymazat"), this);
    Btn_Vymaz->setObjectName(QStringLiteral("Btn_Vymaz"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(filtr);
    buttons->addWidget(Cmb_Filtr);
    buttons->addStretch();
    buttons->addWidget(Chk_JenZobrazene);
    buttons->addWidget(Btn_Uloz);
    buttons->addWidget(Btn_Vymaz);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tbl_Zaznamy);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 30);
    connect(Btn_Uloz, &QPushButton::clicked, this, [this] { Btn_UlozClick(); });
    connect(Btn_Vymaz, &QPushButton::clicked, this, [this] { Btn_VymazClick(); });
    fObnova = new QTimer(this);
    fObnova->setInterval(250);
    connect(fObnova, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            fModel->Obnov();
        }
    });
    fObnova->start();
}

void TKomunikacniLog::NastavLog(TComLog* log) {
    fLog = log;
    fModel->NastavLog(log);
}

void TKomunikacniLog::Btn_UlozClick() {
    if (fLog == nullptr) {
        return;
    }
    const auto path = VyberSoubor();
    if (!path) {
        return;
    }
    const TFiltrLogu filtr = Chk_JenZobrazene->isChecked() ? fModel->Filtr() : TFiltrLogu::Vse;
    if (!UlozDoSouboru(*fLog, *path, filtr)) {
        Chyba(QString::fromUtf8("Komunikační log nelze uložit do souboru %1.").arg(*path));
    }
}

void TKomunikacniLog::Btn_VymazClick() {
    if (fLog != nullptr) {
        fLog->Clear();
        fModel->Obnov();
    }
}

bool TKomunikacniLog::UlozDoSouboru(const TComLog& log, const QString& path, TFiltrLogu filtr) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QByteArray text;
    for (std::size_t i = log.Count(); i-- > 0;) {
        const TComMessage& record = log[i];
        if (!ProjdeFiltrem(filtr, record.Message())) {
            continue;
        }
        text +=
            Druh(DruhZaznamu(record.Message())).toUtf8() + '\t' + Zprava(record).toUtf8() + '\n';
    }
    return file.write(text) == text.size() && file.flush();
}

std::optional<QString> TKomunikacniLog::VyberSoubor() {
    const QString path = QFileDialog::getSaveFileName(
        this, QString::fromUtf8("Uložit komunikační log"),
        QDir::home().filePath(QStringLiteral("norlink-komunikace.txt")),
        QString::fromUtf8("Text (*.txt);;Všechny soubory (*)"));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

void TKomunikacniLog::Chyba(const QString& text) {
    UkazHlaseni(this, QMessageBox::Critical, QString::fromUtf8("Chyba"), text, {},
                {QStringLiteral("OK")}, 0, 0);
}

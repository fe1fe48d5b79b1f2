#pragma once
// The communication log window: the log's records, newest first, with what each says about the
// line (sent, received, error), filtered (all, without the polls, errors only). It follows the log
// on a timer of its own, and redraws only when the log changed and only the rows in view, so the
// serial driver's tick never waits for it.

#include "spojeni/ComLog.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTableView;
class QTimer;

class TModelLogu : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TModelLogu(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void NastavLog(const TComLog* log);
    // Only the records that pass the filter are rows.
    void NastavFiltr(TFiltrLogu filtr);
    TFiltrLogu Filtr() const { return fFiltr; }
    // Redraws when the log changed since the last look; true when it did.
    bool Obnov();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TComLog* fLog = nullptr;
    std::uint64_t fZmeny = ~std::uint64_t{0};
    TFiltrLogu fFiltr = TFiltrLogu::BezVyzev;
    std::vector<std::size_t> fRadky; // the log's index of each row
};

class TKomunikacniLog : public QWidget {
    Q_OBJECT

public:
    explicit TKomunikacniLog(QWidget* parent = nullptr);
    // The log to show; it may be replaced or go (nullptr) while the window is open.
    void NastavLog(TComLog* log);

    void Btn_UlozClick();
    void Btn_VymazClick();
    // Writes the records that pass the filter, oldest first, each with its kind, as UTF-8; false
    // when it cannot.
    static bool UlozDoSouboru(const TComLog& log, const QString& path,
                              TFiltrLogu filtr = TFiltrLogu::Vse);

    // "Vše", "Bez výzev" (the default), "Jen chyby", in the order of TFiltrLogu.
    QComboBox* Cmb_Filtr = nullptr;
    // Saving keeps the filter's view (ticked, the default) or all records.
    QCheckBox* Chk_JenZobrazene = nullptr;
    QTableView* Tbl_Zaznamy = nullptr;
    QPushButton* Btn_Uloz = nullptr;
    QPushButton* Btn_Vymaz = nullptr;
    TModelLogu* Model() const { return fModel; }

protected:
    // The file dialog and the boxes, virtual so tests answer them.
    virtual std::optional<QString> VyberSoubor();
    virtual void Chyba(const QString& text);

private:
    TModelLogu* fModel = nullptr;
    QTimer* fObnova = nullptr;
    TComLog* fLog = nullptr;
};

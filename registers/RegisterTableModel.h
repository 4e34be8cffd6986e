#pragma once

#include <optional>
#include <vector>

#include <QAbstractTableModel>

#include "registers/AllRegisters.h"

// All registers of a register file as rows "S0000" | value (| the comparison file's value), the
// values editable under the register file's value rules.
class RegisterTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, ValueColumn, OtherColumn };

    explicit RegisterTableModel(QObject* parent = nullptr);

    // New texts, all counted as saved.
    void Load(registers::AllTexts texts);
    const registers::AllTexts& Texts() const { return texts_; }
    // The texts as last loaded or saved.
    const registers::AllTexts& SavedTexts() const { return saved_; }
    // The texts now count as saved.
    void MarkSaved();
    bool HasUnsavedValues() const { return texts_ != saved_; }
    // Back to the texts last loaded or saved.
    void DropEdits();

    // A second file to compare with; nothing ends the comparison.
    void Compare(std::optional<registers::AllTexts> other);
    bool Comparing() const { return other_.has_value(); }
    bool Differs(int k) const;
    int DifferenceCount() const;
    // The next (or previous) differing row after `from`, wrapping round; -1 when none differs.
    int NextDifference(int from, bool forward) const;
    // How many differing rows come before `row`.
    int DifferencesBefore(int row) const;

    // Sets register k's text as typed, when the value rules let it.
    registers::ValueFault SetValue(int k, const QString& text);
    // Register texts from imported rows, as edits not yet saved.
    void Apply(const std::vector<registers::CsvRow>& rows);

    // The next row after `after` (wrapping round) whose register is named by `query` ("S12" or
    // "12") or whose value contains it; -1 when none.
    int Find(const QString& query, int after) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // An edit the value rules refused; the register keeps its text.
    void Refused(registers::ValueFault fault);

private:
    registers::AllTexts texts_;
    registers::AllTexts saved_;
    std::optional<registers::AllTexts> other_;
};

#include "registers/RegisterTableModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QGuiApplication>

#include "common/QtMessages.h"
#include "registers/ValueText.h"
#include "ui/Colours.h"

namespace {

QString NumberText(int k) {
    return QString::fromStdString(registers::RegisterName(k));
}

// "S12", "s0012" or "12": the register it names, or -1.
int NamedRegister(const QString& query, bool& withS) {
    QString digits = query;
    withS = digits.startsWith(u'S', Qt::CaseInsensitive);
    if (withS)
        digits.remove(0, 1);
    bool ok = false;
    const int n = digits.size() <= 4 ? digits.toInt(&ok) : -1;
    const bool allDigits =
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
    return ok && allDigits && n >= 0 && n < registers::kRegisterCount ? n : -1;
}

}  // namespace

RegisterTableModel::RegisterTableModel(QObject* parent)
    : QAbstractTableModel(parent),
      texts_(registers::kRegisterCount),
      saved_(registers::kRegisterCount) {}

void RegisterTableModel::Load(registers::AllTexts texts) {
    beginResetModel();
    texts.resize(registers::kRegisterCount);
    texts_ = std::move(texts);
    saved_ = texts_;
    endResetModel();
}

void RegisterTableModel::MarkSaved() {
    saved_ = texts_;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void RegisterTableModel::DropEdits() {
    Load(saved_);
}

void RegisterTableModel::Compare(std::optional<registers::AllTexts> other) {
    beginResetModel();
    if (other)
        other->resize(registers::kRegisterCount);
    other_ = std::move(other);
    endResetModel();
}

bool RegisterTableModel::Differs(int k) const {
    return other_ && registers::ValuesDiffer(texts_[std::size_t(k)], (*other_)[std::size_t(k)]);
}

int RegisterTableModel::DifferenceCount() const {
    return other_ ? int(registers::DiffRegisters(texts_, *other_).size()) : 0;
}

int RegisterTableModel::NextDifference(int from, bool forward) const {
    const int count = rowCount();
    if (!other_ || count == 0)
        return -1;
    for (int step = 1; step <= count; ++step) {
        const int k = ((from + (forward ? step : -step)) % count + count) % count;
        if (Differs(k))
            return k;
    }
    return -1;
}

int RegisterTableModel::DifferencesBefore(int row) const {
    int before = 0;
    for (int k = 0; k < row && k < rowCount(); ++k)
        before += Differs(k) ? 1 : 0;
    return before;
}

registers::ValueFault RegisterTableModel::SetValue(int k, const QString& text) {
    std::string& held = texts_[std::size_t(k)];
    const std::string bytes = registers::TakeText(text, held);
    if (bytes == held)
        return registers::ValueFault::None;
    const registers::ValueFault fault = registers::CheckValueText(bytes);
    if (fault != registers::ValueFault::None)
        return fault;
    held = bytes;
    emit dataChanged(index(k, 0), index(k, columnCount() - 1));
    return fault;
}

void RegisterTableModel::Apply(const std::vector<registers::CsvRow>& rows) {
    for (const registers::CsvRow& row : rows)
        texts_[std::size_t(row.number)] = row.value;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int RegisterTableModel::Find(const QString& typed, int after) const {
    const QString query = typed.trimmed();
    if (query.isEmpty())
        return -1;
    bool withS = false;
    const int named = NamedRegister(query, withS);
    // "S12" names a register and nothing else.
    if (withS && named >= 0)
        return named;
    const int count = rowCount();
    for (int step = 1; step <= count; ++step) {
        const int k = ((after + step) % count + count) % count;
        if (k == named || registers::ShowBytes(texts_[std::size_t(k)]).contains(query))
            return k;
    }
    return -1;
}

int RegisterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(texts_.size());
}

int RegisterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (other_ ? 3 : 2);
}

QVariant RegisterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int k = index.row();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (index.column() == NumberColumn)
                return NumberText(k);
            if (index.column() == ValueColumn)
                return registers::ShowBytes(texts_[std::size_t(k)]);
            return registers::ShowBytes((*other_)[std::size_t(k)]);
        case Qt::BackgroundRole:
            // Amber on light desktops, a dark amber under light text on dark ones.
            if (Differs(k))
                return QBrush(colours::Pick(QGuiApplication::palette(), QColor(255, 224, 160),
                                            QColor(96, 72, 24)));
            return {};
        case Qt::FontRole:
            if (index.column() == ValueColumn && texts_[std::size_t(k)] != saved_[std::size_t(k)]) {
                QFont font;
                font.setBold(true);
                return font;
            }
            return {};
        default:
            return {};
    }
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static constexpr msg::Id kHeaders[] = {
        msg::Id::RegistersTableNumber, msg::Id::RegistersTableValue, msg::Id::RegistersTableOther};
    return section >= 0 && section < 3 ? msg::QText(kHeaders[section]) : QVariant();
}

Qt::ItemFlags RegisterTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == ValueColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RegisterTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != ValueColumn || role != Qt::EditRole)
        return false;
    const registers::ValueFault fault = SetValue(index.row(), value.toString());
    if (fault != registers::ValueFault::None) {
        emit Refused(fault);
        return false;
    }
    return true;
}

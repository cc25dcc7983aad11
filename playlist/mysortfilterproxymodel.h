#pragma once

#include <QSortFilterProxyModel>
#include <QVector>

// Sorts each column by a typed value of its own role rather than by its text.
class MySortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 4;

    explicit MySortFilterProxyModel(QObject* parent = nullptr);

    // Columns outside the table are ignored.
    void setSpecialSortRole(int column, int role);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QVector<int> m_sortRoles;
};

#include "mysortfilterproxymodel.h"

#include "playlistroles.h"

#include <QDateTime>

MySortFilterProxyModel::MySortFilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent), m_sortRoles(ColumnCount, sortRole())
{}

void MySortFilterProxyModel::setSpecialSortRole(int column, int role)
{
    if (column >= 0 && column < m_sortRoles.size())
        m_sortRoles[column] = role;
}

bool MySortFilterProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const int column = left.column();
    if (column < 0 || column >= m_sortRoles.size())
        return QSortFilterProxyModel::lessThan(left, right);
    const int role = m_sortRoles.at(column);
    switch (role) {
    case PlaylistRoles::Start:
        return left.data(role).toDateTime() < right.data(role).toDateTime();
    case PlaylistRoles::Duration:
    case PlaylistRoles::Events:
        return left.data(role).toLongLong() < right.data(role).toLongLong();
    case PlaylistRoles::Files:
        return false;
    default:
        return QSortFilterProxyModel::lessThan(left, right);
    }
}

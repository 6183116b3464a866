#pragma once

// A selection model that refuses every change while its guard says so: the folder tree keeps
// its selection still while a long command runs.

#include <QItemSelectionModel>
#include <functional>

class TGuardedSelectionModel : public QItemSelectionModel
{
    Q_OBJECT

public:
    TGuardedSelectionModel(QAbstractItemModel *model, std::function<bool()> refuse, QObject *parent = nullptr)
        : QItemSelectionModel(model, parent), m_refuse(std::move(refuse))
    {}

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (!m_refuse())
            QItemSelectionModel::setCurrentIndex(index, command);
    }
    void select(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (!m_refuse())
            QItemSelectionModel::select(index, command);
    }
    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override
    {
        if (!m_refuse())
            QItemSelectionModel::select(selection, command);
    }
    void clearCurrentIndex() override
    {
        if (!m_refuse())
            QItemSelectionModel::clearCurrentIndex();
    }

private:
    std::function<bool()> m_refuse;
};

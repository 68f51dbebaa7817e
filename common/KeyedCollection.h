#pragma once
// A collection of text items under text keys that keeps the order in which
// they were added, as the service's in-memory queues need it (the new guests
// waiting for their welcome message). Keys compare without regard to letter
// case; adding a key that is already there changes nothing.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class KeyedCollection {
public:
    // Adds the item at the end; false (and nothing changed) when the key is there.
    bool add(const QString& key, const QString& item);
    bool contains(const QString& key) const;
    // The item under the key, or a null QString.
    QString item(const QString& key) const;
    // Removes the key and its item; false when the key was not there.
    bool remove(const QString& key);
    void clear() { m_entries.clear(); }

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

    // The keys in the order they were added: a copy, so a walk over it may
    // remove what it has handled.
    QStringList keys() const;

private:
    std::vector<std::pair<QString, QString>>::const_iterator find(const QString& key) const;

    std::vector<std::pair<QString, QString>> m_entries;  // key, item
};

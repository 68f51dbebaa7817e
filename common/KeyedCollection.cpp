#include "common/KeyedCollection.h"

#include <algorithm>

std::vector<std::pair<QString, QString>>::const_iterator KeyedCollection::find(const QString& key) const {
    return std::find_if(m_entries.begin(), m_entries.end(), [&](const auto& entry) {
        return entry.first.compare(key, Qt::CaseInsensitive) == 0;
    });
}

bool KeyedCollection::add(const QString& key, const QString& item) {
    if (find(key) != m_entries.end()) return false;
    m_entries.emplace_back(key, item);
    return true;
}

bool KeyedCollection::contains(const QString& key) const { return find(key) != m_entries.end(); }

QString KeyedCollection::item(const QString& key) const {
    const auto it = find(key);
    return it == m_entries.end() ? QString() : it->second;
}

bool KeyedCollection::remove(const QString& key) {
    const auto it = find(key);
    if (it == m_entries.end()) return false;
    m_entries.erase(it);
    return true;
}

QStringList KeyedCollection::keys() const {
    QStringList list;
    list.reserve(count());
    for (const auto& entry : m_entries) list << entry.first;
    return list;
}

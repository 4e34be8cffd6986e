#pragma once

#include <initializer_list>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Whole-file reads and writes for the Qt tests.
namespace testsupport {

// Bytes written out by value, GBK and control bytes alike.
inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes += char(v);
    return bytes;
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace testsupport

#pragma once
// Checks a recording folder: every line of index.csv names a complete capture file, no
// line is cut short, and the folder holds nothing else. Returns the number of lines.
#include "export/logger.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <string>

namespace index_check {

inline std::string readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

// `captureBytes`: what each file must hold; empty to check only that it is not empty.
// `orphans`: complete files the index may lack (a run killed between the two writes).
inline int checkedLines(const QString& dir, const std::string& captureBytes, int orphans = 0) {
    const std::string index = readAll(dir + "/index.csv");
    const std::string header = exporting::indexHeader();
    EXPECT_EQ(index.substr(0, header.size()), header);
    QStringList named;
    size_t at = header.size();
    for (size_t end; (end = index.find('\n', at)) != std::string::npos; at = end + 1) {
        const QString file = QString::fromStdString(index.substr(at, end - at)).section(',', 1, 1);
        const std::string bytes = readAll(dir + "/" + file);
        if (captureBytes.empty())
            EXPECT_FALSE(bytes.empty() || bytes == "<missing>") << file.toStdString();
        else
            EXPECT_TRUE(bytes == captureBytes) << file.toStdString() << ": " << bytes.size();
        named << file;
    }
    EXPECT_EQ(at, index.size()) << "a line cut short";
    QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    present.removeOne("index.csv");
    for (const QString& f : named)
        present.removeOne(f);
    EXPECT_LE(present.size(), orphans) << present.join(' ').toStdString();
    for (const QString& f : present)
        EXPECT_FALSE(f.startsWith('.')) << "a temporary file left: " << f.toStdString();
    return int(named.size());
}

} // namespace index_check

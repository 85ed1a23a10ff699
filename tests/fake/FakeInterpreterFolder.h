// For window tests: a folder whose "octave-cli" is the stand-in interpreter
// running the given script, so that the programs start it as they would start
// the real one. The stand-in's log lists the commands it received.
#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <string>

class CFakeInterpreter {
 public:
  explicit CFakeInterpreter(const QByteArray& script) {
    QFile file(m_folder.filePath(QStringLiteral("script")));
    file.open(QIODevice::WriteOnly);
    file.write(script);
    file.close();
    QFile::link(QStringLiteral(FAKE_OCTAVE_PATH), m_folder.filePath(QStringLiteral("octave-cli")));
    qputenv("FAKE_OCTAVE_SCRIPT", m_folder.filePath(QStringLiteral("script")).toLocal8Bit());
    qputenv("FAKE_OCTAVE_LOG", m_folder.filePath(QStringLiteral("log")).toLocal8Bit());
  }
  QString Folder() const { return m_folder.path(); }
  QString Log() const {
    QFile file(m_folder.filePath(QStringLiteral("log")));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
  }
  QStringList LogLines() const { return Log().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
  // Waits (handling events) until the stand-in has received this line.
  bool Logged(const std::string& line) const {
    return QTest::qWaitFor([&] { return LogLines().contains(QString::fromStdString(line)); }, 10000);
  }

 private:
  QTemporaryDir m_folder;
};

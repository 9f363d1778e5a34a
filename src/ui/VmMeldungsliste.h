// A list of messages in one window: what would otherwise be a message box each (the
// entries a merge skipped), scrollable, to read through and close.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vm::ui {

void ShowMessageList(QWidget* parent, const QString& caption, const QString& intro,
                     const QStringList& lines);

} // namespace vm::ui

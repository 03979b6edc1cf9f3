#pragma once
// The shared folder the viewer watched last, kept in the user's own settings
// (~/.config/Ombrak/QuorixView.conf), never in the shared folder.
#include <QString>

namespace quorix {

QString rememberedFolder();
void rememberFolder(const QString &folder);

} // namespace quorix

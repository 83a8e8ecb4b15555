#pragma once
// The statements of the desk's pickers, for a data control: the text is found anywhere in the
// columns searched, as typed (% and _ taken literally); an empty text finds every row.
#include <QString>
#include <QStringList>

namespace DeskPick {
// Clients by number, phone or remark; the number first.
QString Clients(const QString& text);
// Films by code, title or lead actor, each with whether it is in; onlyIn keeps the films in.
QString Films(const QString& text, bool onlyIn);
} // namespace DeskPick

#pragma once
// Text on labels and cards, sized in millimetres and shortened by whole characters to fit.
#include <QString>
#include <Qt>

class QFontMetricsF;
class QPainter;
class QRectF;

namespace LabelText {
// The text as it fits width: whole characters (never half a surrogate pair or a character and its
// marks) taken off the end and "…" after what is left; the text itself when it fits.
QString Shorten(const QString& text, const QFontMetricsF& metrics, double width);
// Paints text into box (the painter's units being millimetres), its font heightMm tall, shortened
// to the box's width.
void Paint(QPainter& painter, const QRectF& box, const QString& text, double heightMm, bool bold,
           Qt::Alignment align);
// The height, at most heightMm and no less than six tenths of it, at which text fits width: a code
// is made smaller before it is shortened.
double Fitting(QPainter& painter, const QString& text, double heightMm, bool bold, double width);
// The width text takes in that font, in millimetres.
double Width(QPainter& painter, const QString& text, double heightMm, bool bold);
} // namespace LabelText

// Drawing helpers shared by the skin pieces and the program icon.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

#include "tools/skingen/palette.h"

namespace skingen {

// Opaque canvas; the skin format has no alpha channel.
QImage newCanvas(int width, int height);

// Per-row / per-column fills. Done pixel by pixel rather than with QPainter
// gradients so that neighbouring pieces get exactly the same values.
void fillTitleBackground(QImage& image);
void fillBottomBackground(QImage& image);
void fillEdge(QImage& image, bool right);

// Corner pieces carry the outer frame of the window on one side. Where the
// piece meets the side edge, the columns must continue that edge's colours.
enum class Side { Left, Right };
void frameTitleCorner(QImage& image, Side side);
void frameBottomCorner(QImage& image, Side side);

// QPainter with antialiasing, the way all pieces are painted.
void beginPainting(QPainter& painter, QPaintDevice* device);

// A rounded push button occupying the given pixel rectangle.
void drawButtonBody(QPainter& painter, const QRect& outline, double radius, const ButtonLook& look);

enum class LampState { Off, OffHover, OffPressed, On };
void drawLamp(QPainter& painter, QPointF centre, double radius, LampState state);

// The brand mark: a small door station (camera, speaker grille, bell push).
void drawDoorStation(QPainter& painter, const QRectF& plate);

}  // namespace skingen

// Scan conversion of small convex polygons, screened into the target: a flat
// fill in one colour and a Gouraud fill that interpolates vertex colours.
#pragma once

#include <cstdint>

#include "render/target.h"

namespace gw {

// Red, green, blue and a fourth value. The fills carry all four but only the
// first three reach the pixels.
struct PolyColor {
  uint8_t r, g, b, extra;
};

struct PolyVertex {
  float x, y;
  PolyColor colour;
};

inline constexpr int kMaxPolygonVertices = 72;

// The working record of both fills. A count outside 0..72, or an edge naming
// a vertex beyond the count, is never followed.
struct ConvexPolygon {
  int16_t count;                               // vertices, and edges
  PolyVertex vertices[kMaxPolygonVertices];
  int16_t edgeFrom[kMaxPolygonVertices];       // first vertex of edge i
  int16_t edgeTo[kMaxPolygonVertices];         // second vertex of edge i
  int16_t minX, maxX, minY, maxY;              // truncated extreme coordinates
};

// Appends a vertex; a polygon that already holds 72 keeps them.
void AddVertex(ConvexPolygon& polygon, float x, float y, PolyColor colour);

// Joins the vertices in order into a closed ring: edge i runs i -> i + 1 and
// the last edge from the last vertex back to vertex 0.
void CloseRing(ConvexPolygon& polygon);

// A closed triangle of three vertices (edges 0->1, 1->2, 2->0), prepared.
ConvexPolygon Triangle(const PolyVertex& a, const PolyVertex& b, const PolyVertex& c);

// Computes the bounding box and turns every edge so that its first vertex has
// the smaller or equal y.
void PreparePolygon(ConvexPolygon& polygon);

// Fills a prepared polygon with the colour of vertex 0. Returns the work it
// did (see FillWork).
int64_t FillFlat(const ConvexPolygon& polygon, const RenderTarget& target);

// Fills a prepared polygon with the colours interpolated between its vertices.
// Returns the work it did (see FillWork).
int64_t FillGouraud(const ConvexPolygon& polygon, const RenderTarget& target);

// The work of a fill: every pixel it screens, and for every row it scans one
// unit per edge it may examine. A polygon that misses the clip rectangle costs
// nothing.
//
// An element built of many polygons stops once it has done more than
// ElementWorkBudget: 256 layers over the clip rectangle, well over twice what
// the largest element the editor can make needs (100 ghosts of 16 sides at 25
// times the nominal size take under 100). It only cuts short the absurd ones
// that a damaged lens file can ask for, such as 32767 ghosts each larger than
// the frame, which would otherwise take minutes.
int64_t ElementWorkBudget(const RenderTarget& target);

// True when the target has no frame or no writable pixel, so nothing a
// renderer computes could show.
bool NothingToDraw(const RenderTarget& target);

// True when screening the colour changes no pixel.
inline bool IsBlack(const PolyColor& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// A floating colour component as a byte: above 255 becomes 255, below 0 (and
// NaN) becomes 0, the rest truncates.
uint8_t ColourByte(float v);

}  // namespace gw

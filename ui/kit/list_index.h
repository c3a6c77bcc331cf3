#pragma once

class QAbstractItemView;

// The 0-based row of the entry under the point (x, y in twips, relative to the list's
// drawing area), or −1 when the point lies beside every entry.
int ListIndexFromPoint(const QAbstractItemView* list, double x, double y);

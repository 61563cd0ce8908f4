#pragma once
// The one drag-and-drop payload of the process, shared by the item library
// grid and the budget grids; the configuration object owns it.

#include <QtGlobal>

class QObject;

class TqxDragInfo {
public:
    enum : int { skNone = 0, skBudgetGrid = 1, skItemLibrary = 2 };
    enum : quint8 { dsIdle = 0, dsStarted = 1, dsEnded = 2, dsOver = 3, dsDropped = 4 };

    int SourceKind = skNone;
    QObject* Source = nullptr; // not owned
    quint8 State = dsIdle;
    bool Dragging = false;

    void BeginDrag(int kind, QObject* source, bool setDragging);
    void DragOver() { State = dsOver; }
    void Dropped() { State = dsDropped; }
    void EndDrag();
};

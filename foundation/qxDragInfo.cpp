#include "qxDragInfo.h"

void TqxDragInfo::BeginDrag(int kind, QObject* source, bool setDragging)
{
    SourceKind = kind;
    Source = source;
    State = dsStarted;
    if (setDragging)
        Dragging = true;
}

void TqxDragInfo::EndDrag()
{
    if (State != dsDropped)
        State = dsEnded;
    Dragging = false;
}

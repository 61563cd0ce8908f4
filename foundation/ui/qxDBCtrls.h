#pragma once
// The library's data-aware controls: the data source, the grid and the navigator.

#include "qxDBCtrls_BookmarkList.h"
#include "qxDBCtrls_Column.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxDBCtrls_DBNavigator.h"
#include "qxDBCtrls_DataSource.h"
#include "qxDBCtrls_InplaceEdit.h"

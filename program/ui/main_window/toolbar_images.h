#pragma once

#include <QIcon>

// The 16 x 16 image of a toolbar button by its resource number (131 new,
// 132 open, 133 save, 134 save as, 142 print, 124 copy, 125 paste, 120 clear,
// 1232 cut row, 1242 copy row, 1252 paste row, 1212 insert row, 1202 clear
// row, 1222 delete row, 126 copy down, 127 delete to the end, 181 settings,
// 139 help). An unknown number gives an empty icon.
QIcon ToolbarImage(int resource);

// The program's own icon: a soil column with its water mark, as on the sheet.
QIcon ProgramIcon();

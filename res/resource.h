// Identifiers of the launcher's resources, shared by the resource script and the code.
#pragma once

#define IDD_SPLASH 102
// The application icon the splash dialog asks for. The executable carries no icon of this
// number, so the dialog's icon handle stays null.
#define IDI_LAUNCHER 128

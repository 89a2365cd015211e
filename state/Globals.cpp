#include "state/Globals.h"

// Empty objects need no code to construct (their state is all zero), so they
// exist before any dynamic initialisation, the application object's included,
// and are destroyed after it.
CString g_strDataDir;
CString g_strPicturesPath;
CStringArray g_arrPictures;

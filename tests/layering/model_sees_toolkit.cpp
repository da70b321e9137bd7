#include <wx/string.h>

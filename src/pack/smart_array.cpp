#include "pack/smart_array.h"

void SmartArrayWarning(const char* pszSource, int nLine)
{
    char szText[256];
    snprintf(szText, sizeof(szText), "%sファイルの%d行\n%s", pszSource, nLine, "配列アクセスが範囲外です");
    MessageBoxA(nullptr, szText, "WARNING!!", MB_OK);
}

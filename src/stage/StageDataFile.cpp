// The stage definition file: directives, then map and event lines, then groups, each in a pass of
// its own over the whole file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/DebugOut.h"
#include "engine/Log.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "stage/Object.h"
#include "stage/StageData.h"
#include "rvm/rvm_stl.h"

namespace {

// Where a line stands in its file: the bytes as read, and where its '#' is.
struct STAGELINE {
    char szText[STAGE_LINE_MAX];
    const char* pszHash = nullptr;
    int nNumber = 0;
};

// The next line that starts with '#' once comments and leading white space are gone.
bool NextHashLine(CFile* pFile, STAGELINE& line)
{
    while (FileGets(line.szText, STAGE_LINE_MAX, pFile)) {
        line.nNumber++;
        if (IsBlankLine(line.szText))
            continue;
        CutComment(line.szText);
        const char* p = line.szText;
        while (*p && IsWhiteByte((unsigned char)*p))
            p++;
        if (*p != '#')
            continue;
        line.pszHash = p;
        return true;
    }
    return false;
}

rvm::string Trimmed(const char* pBegin, const char* pEnd)
{
    while (pBegin < pEnd && IsWhiteByte((unsigned char)*pBegin))
        pBegin++;
    while (pEnd > pBegin && IsWhiteByte((unsigned char)pEnd[-1]))
        pEnd--;
    return rvm::string(pBegin, pEnd);
}

// The comma-separated fields of the text, each trimmed; empty ones are kept.
void SplitTokens(const char* pszText, rvm::vector<rvm::string>& tokens)
{
    tokens.clear();
    const char* p = pszText;
    while (*p && IsWhiteByte((unsigned char)*p))
        p++;
    if (!*p)
        return;  // a line end alone is no token
    for (;;) {
        const char* pComma = strchr(pszText, ',');
        const char* pEnd = pComma ? pComma : pszText + strlen(pszText);
        tokens.push_back(Trimmed(pszText, pEnd));
        if (!pComma)
            break;
        pszText = pComma + 1;
    }
}

bool StartsWith(const char* pszText, const char* pszHead)
{
    return strncmp(pszText, pszHead, strlen(pszHead)) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int CStageData::ReadDefinition(const char* pszPath)
{
    snprintf(m_szDefinition, sizeof(m_szDefinition), "%s", pszPath ? pszPath : "");
    CFile* pFile = nullptr;
    FileOpen(&pFile, pszPath);
    if (!pFile) {
        Report(3, "%s の読み込みに失敗しました\n", pszPath);
        return 0;
    }
    ReadDirectives(pFile);
    FileRewind(pFile);
    ReadMapRows(pFile);
    FileRewind(pFile);
    ReadGroups(pFile);
    FileClose(pFile);
    ResolveGroupRefs();
    ApplyLayerSpeeds();
    for (int i = 0; i < BG_NUM; i++)
        m_vVelocityInit[i] = m_vVelocity[i];
    return 1;
}

int CStageData::ReadDirectives(CFile* pFile)
{
    auto pLine = std::make_unique<STAGELINE>();
    rvm::vector<rvm::string> values;
    while (NextHashLine(pFile, *pLine)) {
        const char* pKey = pLine->pszHash + 1;
        const char* pKeyEnd = pKey;
        while (*pKeyEnd && !IsWhiteByte((unsigned char)*pKeyEnd))
            pKeyEnd++;
        if (!*pKeyEnd || pKeyEnd == pKey)
            continue;
        if (pKeyEnd - pKey > STAGE_FIELD_MAX)
            continue;  // no directive is that long: a map line without blanks
        rvm::string keyword(pKey, pKeyEnd);
        SplitTokens(pKeyEnd, values);
        rvm::vector<rvm::string> kept;
        for (rvm::string& v : values) {
            if (v.empty())
                continue;
            if (v.size() > STAGE_FIELD_MAX)
                v.resize(STAGE_FIELD_MAX);
            kept.push_back(v);
        }
        if (!ParseDirective(keyword.c_str(), kept)) {
            rvm::string text = Trimmed(pLine->pszHash, pLine->pszHash + strlen(pLine->pszHash));
            Report(3, "ERROR 13 : オブジェクトの定義でエラーが発生しました [(%d) %s]\n", pLine->nNumber, text.c_str());
        }
    }
    return 1;
}

void CStageData::StoreObject(const rvm::string& code, CObject* pObj)
{
    auto it = m_Objects.find(code);
    if (it != m_Objects.end()) {
        Report(3, "ERROR 4 : 同じ名前のオブジェが存在します [%s]\n", code.c_str());
        // Animations defined earlier may still show the old type: it lives until Unload.
        m_RetiredObjects.push_back(it->second);
        m_Objects.erase(it);
    }
    DebugPrintf("Object : %s\n", code.c_str());
    m_Objects[code] = pObj;
}

int CStageData::ParseDirective(const char* pszKeyword, const rvm::vector<rvm::string>& values)
{
    rvm::string code;
    RightString(code, pszKeyword, 2);
    if (StartsWith(pszKeyword, "OBJECT")) {
        CObject* pObj = new CObject(code.c_str());
        StoreObject(code, pObj);
        ParseObjectDef(pObj, values);
    }
    if (StartsWith(pszKeyword, "ANIMATE")) {
        CObject* pAnim = new CObject(code.c_str());
        StoreObject(code, pAnim);
        DWORD dwTime = values.empty() ? 0 : (DWORD)(1000 / (int)values.size());
        for (const rvm::string& frame : values) {
            CObject* pFrame = GetObject(frame);
            if (!pFrame || pFrame == pAnim) {
                Report(3, "WARNING : アニメーションのオブジェが定義されていません [%s error %s]\n", code.c_str(),
                       frame.c_str());
                continue;
            }
            if (pFrame->IsAnimate()) {
                Report(3, "ERROR 5 : アニメーションオブジェが含まれています [%s error %s]\n", code.c_str(), frame.c_str());
                continue;
            }
            pAnim->AddAnimFrame(pFrame, dwTime);
        }
    }
    if (StartsWith(pszKeyword, "XFIRST")) {
        if (values.size() != 1) {
            Report(3, "ERROR 9 : パラメータの数が不正です [#%s]\n", "XFIRST");
            return 0;
        }
        m_vVelocity[STAGE_MAIN_LAYER].x = (float)atof(values[0].c_str());
    }
    static const struct {
        const char* pszName;
        int nLayer;
        int nError;
    } kSpeeds[] = {{"BGSPEED0", 0, 10}, {"BGSPEED1", 1, 10}, {"BGSPEED2", 2, 11}, {"BGSPEED4", 4, 12}};
    for (const auto& speed : kSpeeds) {
        if (!StartsWith(pszKeyword, speed.pszName))
            continue;
        rvm::string name;
        rvm::vector<rvm::string> fields;
        if (values.size() == 1)
            ParseKeyValueLine(values[0].c_str(), name, fields);
        if (values.size() != 1 || fields.size() < 2) {
            Report(3, "ERROR %d : パラメータの数が不正です [#%s]\n", speed.nError, speed.pszName);
            return 0;
        }
        m_vRatio[speed.nLayer].x = (float)atof(fields[0].c_str());
        m_vRatio[speed.nLayer].y = (float)atof(fields[1].c_str());
    }
    if (StartsWith(pszKeyword, "SHOTLEVEL")) {
        if (values.size() != 1) {
            Report(3, "ERROR 37 : パラメータの数が不正です [#%s]\n", "SHOTLEVEL");
            return 0;
        }
        m_nShotLevel = atoi(values[0].c_str());
    }
    return 1;
}

int CStageData::ParseObjectDef(CObject* pObj, const rvm::vector<rvm::string>& values)
{
    if (!pObj || values.empty())
        return 1;
    rvm::string name;
    rvm::vector<rvm::string> fields;
    ParseKeyValueLine(values[0].c_str(), name, fields);
    pObj->SetImageFile(name.c_str());
    if (fields.size() == 4) {
        RECT rc = {atoi(fields[0].c_str()), atoi(fields[1].c_str()), atoi(fields[2].c_str()),
                   atoi(fields[3].c_str())};
        // A region that starts at 0 or runs backwards would cut nothing usable from the picture.
        if (IsValidObjectRegion(rc.left, rc.top, rc.right, rc.bottom))
            pObj->SetRect(&rc);
        else
            Report(3, "ERROR 7 : 参照範囲指定の数は４つです [%s]\n", values[0].c_str());
    } else if (!fields.empty()) {
        Report(3, "ERROR 7 : 参照範囲指定の数は４つです [%s]\n", values[0].c_str());
    }
    for (size_t i = 1; i < values.size(); i++) {
        rvm::string word = values[i];
        for (char& c : word)
            c = (char)toupper((unsigned char)c);
        auto it = m_AttrWords.find(word);
        if (it == m_AttrWords.end()) {
            Report(3, "ERROR 2 : 属性がみつかりません [%s]\n", word.c_str());
            continue;
        }
        pObj->SetAttribute(pObj->GetAttribute() | (DWORD)it->second);
    }
    pObj->AddNoTouch();
    if (!pObj->CheckAttribute())
        Report(3, "ERROR 3 : 属性の組み合わせが不正です [%s]\n", pObj->GetName());
    CDebugInfo::Trace(3, "#OBJECT%s %s%s, %s\n", pObj->GetName(), pObj->GetImageFile(), pObj->GetRectKey(),
                      pObj->AttributeToText());
    return 1;
}

int CStageData::ParseRowHeader(const char* pszHeader, int* pnScreen, char* pcLayer, int* pnRow) const
{
    for (int i = 0; i < 6; i++)
        if (!pszHeader[i])
            return 0;
    if (!IsDigit(pszHeader[0]) || !IsDigit(pszHeader[1]) || !IsDigit(pszHeader[2]))
        return 0;
    if (pnScreen)
        *pnScreen = (pszHeader[0] - '0') * 100 + (pszHeader[1] - '0') * 10 + (pszHeader[2] - '0');
    if (pcLayer)
        *pcLayer = pszHeader[3];
    if (pnRow) {
        // Rows that are not two digits ("XX" on event lines) read as -1.
        if (IsDigit(pszHeader[4]) && IsDigit(pszHeader[5]))
            *pnRow = (pszHeader[4] - '0') * 10 + (pszHeader[5] - '0');
        else
            *pnRow = -1;
    }
    return 1;
}

int CStageData::ParseMapLine(const char* pszLine, int* pnScreen, int* pnLayer, int* pnRow,
                             const char** ppszTokens) const
{
    const char* pHeader = pszLine + 1;
    if (strnlen(pHeader, 7) < 7 || pHeader[6] != ':')
        return 0;
    const char* pEq = strchr(pszLine, '=');
    if (pEq && pEq < strchr(pszLine, ':'))
        return 0;
    char cLayer = 0;
    if (!ParseRowHeader(pHeader, pnScreen, &cLayer, pnRow))
        return 0;
    *pnLayer = LayerFromLetter(cLayer);
    if (*pnLayer < 0)
        return 0;
    // Layers A to E take rows 00 to 08 only; the X lines take any row.
    if (*pnLayer != STAGE_EVENT_LAYER && (*pnRow < 0 || *pnRow > MAX_ROW_NUM))
        return 0;
    *ppszTokens = pHeader + 7;
    return 1;
}

int CStageData::ReadMapRows(CFile* pFile)
{
    auto pLine = std::make_unique<STAGELINE>();
    rvm::vector<rvm::string> tokens;
    while (NextHashLine(pFile, *pLine)) {
        int nScreen = 0, nLayer = 0, nRow = 0;
        const char* pszTokens = nullptr;
        if (!ParseMapLine(pLine->pszHash, &nScreen, &nLayer, &nRow, &pszTokens)) {
            if (strnlen(pLine->pszHash, 8) >= 8 && pLine->pszHash[7] == ':')
                Report(3, "WARNING : 行の見出しが不正です (%d)\n", pLine->nNumber);
            continue;
        }
        if (nLayer == STAGE_EVENT_LAYER && nRow == 0)
            continue;
        SplitTokens(pszTokens, tokens);
        for (size_t i = 0; i < tokens.size(); i++) {
            rvm::string& token = tokens[i];
            if (token.empty())
                continue;
            if (token.size() > STAGE_FIELD_MAX)
                token.resize(STAGE_FIELD_MAX);
            int s = nScreen + (int)i;
            if (nLayer == STAGE_EVENT_LAYER) {
                m_Events[s].push_back(token);
            } else if (nRow == 0) {
                m_GroupRefs.push_back(STAGEGROUPREF{token, s, nLayer});
            } else {
                int nIndex = MAX_ROW_NUM - nRow;
                AppendRow(nLayer, nIndex, NewRowRecord(s, nLayer, nIndex, token, 0));
            }
        }
    }
    return 1;
}

void CStageData::AddGroup(const rvm::string& name, rvm::vector<STAGEROW*> pending[MAX_ROW_NUM], size_t k)
{
    auto it = m_Groups.find(name);
    if (it != m_Groups.end()) {
        Report(7, "ERROR 16 : 同名のグループ名が既に存在します [%s]\n", name.c_str());
        delete it->second;
        m_Groups.erase(it);
    }
    STAGEGROUP* pGroup = new STAGEGROUP;
    pGroup->name = name;
    for (int r = 0; r < MAX_ROW_NUM; r++) {
        if (pending[r].empty())
            continue;
        if (pending[r].size() > k) {
            pGroup->pRows[r] = pending[r][k];
            pending[r][k] = nullptr;
        } else {
            pGroup->pRows[r] = new STAGEROW{-1, STAGE_EVENT_LAYER, r, rvm::string(), 0};
        }
    }
    m_Groups[name] = pGroup;
}

int CStageData::ReadGroups(CFile* pFile)
{
    auto pLine = std::make_unique<STAGELINE>();
    rvm::vector<STAGEROW*> pending[MAX_ROW_NUM];
    rvm::vector<rvm::string> tokens;
    auto clearPending = [&pending]() {
        for (auto& rows : pending) {
            for (STAGEROW* p : rows)
                delete p;
            rows.clear();
        }
    };
    while (NextHashLine(pFile, *pLine)) {
        int nScreen = 0, nLayer = 0, nRow = 0;
        const char* pszTokens = nullptr;
        if (!ParseMapLine(pLine->pszHash, &nScreen, &nLayer, &nRow, &pszTokens))
            continue;
        if (nLayer != STAGE_EVENT_LAYER || nRow < 0 || nRow > MAX_ROW_NUM)
            continue;
        SplitTokens(pszTokens, tokens);
        if (nRow > 0) {
            for (rvm::string& token : tokens) {
                if (token.size() > STAGE_FIELD_MAX)
                    token.resize(STAGE_FIELD_MAX);
                int nIndex = MAX_ROW_NUM - nRow;
                pending[nIndex].push_back(new STAGEROW{-1, STAGE_EVENT_LAYER, nIndex, token, 0});
            }
            continue;
        }
        for (size_t k = 0; k < tokens.size(); k++)
            AddGroup(tokens[k], pending, k);
        if (!tokens.empty())
            clearPending();
    }
    clearPending();
    return 1;
}

int CStageData::ResolveGroupRefs()
{
    for (const STAGEGROUPREF& ref : m_GroupRefs) {
        auto it = m_Groups.find(ref.name);
        if (it == m_Groups.end()) {
            Report(7, "ERROR 15 : 定義されていないグループを使用しました [%s]\n", ref.name.c_str());
            continue;
        }
        for (int r = 0; r < MAX_ROW_NUM; r++) {
            const STAGEROW* pSlot = it->second->pRows[r];
            if (!pSlot)
                continue;
            STAGEROW* pRecord = NewRowRecord(ref.nScreen, ref.nLayer, r, pSlot->text, 0);
            if (!pSlot->text.empty() && (int)pSlot->text.size() != 2 * ColumnsPerScreen(ref.nLayer))
                Report(7, "ERROR 14 : グループの参照で要素の長さがレイヤーと合っていません [GROUP=%s を LAYER=%c で使用しました]\n",
                       ref.name.c_str(), LetterFromLayer(ref.nLayer));
            SetRow(ref.nLayer, r, pRecord);
        }
    }
    return 1;
}

void CStageData::PadRow(rvm::string& out, int nScreen, int nLayer, const rvm::string& token)
{
    out = token;
    if (nLayer == STAGE_EVENT_LAYER)
        return;
    if (out.size() % 2) {
        // Half a code would shift every later code of the row by one byte.
        Report(3, "WARNING : コードの長さが奇数です [(#%03d%c) %s]\n", nScreen, LetterFromLayer(nLayer), token.c_str());
        out.pop_back();
    }
    int n = (int)out.size() / 2;
    int nLimit = nScreen == 0 ? MAX_COLUMN_NUM : ColumnsPerScreen(nLayer);
    if (nLimit < 0)
        nLimit = 0;
    if (n < nLimit) {
        out.append((size_t)(nLimit - n) * 2, '0');
    } else if (n > nLimit) {
        // Kept whole: the extra codes run on into the next screen's columns and push every later
        // screen of the row to the right, as the map's author wrote them.
        Report(3, "ERROR 8 : オブジェの数が多すぎます [(#%03d%c) %s]\n", nScreen, LetterFromLayer(nLayer), token.c_str());
    }
}

STAGEROW* CStageData::NewRowRecord(int nScreen, int nLayer, int nRow, const rvm::string& token, int nFlag)
{
    STAGEROW* pRecord = new STAGEROW{nScreen, nLayer, nRow, rvm::string(), nFlag};
    PadRow(pRecord->text, nScreen, nLayer, token);
    return pRecord;
}

rvm::vector<STAGEROW*>* CStageData::RowsFor(int nLayer, int nRow, STAGEROW* pRecord)
{
    if (!pRecord)
        return nullptr;
    if (nLayer < 0 || nLayer >= BG_NUM || nRow < 0 || nRow >= MAX_ROW_NUM) {
        delete pRecord;
        return nullptr;
    }
    return &m_Rows[nLayer][nRow];
}

void CStageData::AppendRow(int nLayer, int nRow, STAGEROW* pRecord)
{
    rvm::vector<STAGEROW*>* pRows = RowsFor(nLayer, nRow, pRecord);
    if (!pRows)
        return;
    rvm::vector<STAGEROW*>& rows = *pRows;
    for (int c = (int)rows.size(); c < pRecord->nScreen; c++)
        rows.push_back(NewRowRecord(c, nLayer, nRow, rvm::string(), 0));
    rows.push_back(pRecord);
}

void CStageData::SetRow(int nLayer, int nRow, STAGEROW* pRecord)
{
    rvm::vector<STAGEROW*>* pRows = RowsFor(nLayer, nRow, pRecord);
    if (!pRows)
        return;
    rvm::vector<STAGEROW*>& rows = *pRows;
    if (pRecord->nScreen >= 0 && (int)rows.size() > pRecord->nScreen) {
        delete rows[pRecord->nScreen];
        rows[pRecord->nScreen] = pRecord;
        return;
    }
    AppendRow(nLayer, nRow, pRecord);
}

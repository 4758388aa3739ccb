// The stage definition file: directives, then map and event lines, then groups, each in a pass of
// its own over the file's '#' lines, which are read once.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "engine/DebugOut.h"
#include "engine/Log.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "stage/Object.h"
#include "stage/StageData.h"
#include "rvm/rvm_stl.h"

// The lines of a definition that start with '#' once comments and leading white space are gone,
// read from the file once for the three passes: each line from its '#', NUL-ended, one after
// another in one block, with its number in the file.
struct STAGELINES {
    rvm::string text;
    rvm::vector<std::pair<size_t, int>> lines;  // where each line starts in text, and its number

    size_t Count() const { return lines.size(); }
    const char* Line(size_t i) const { return text.data() + lines[i].first; }
    int Number(size_t i) const { return lines[i].second; }
};

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

void ReadHashLines(CFile* pFile, STAGELINES& lines)
{
    auto pLine = std::make_unique<STAGELINE>();
    // The lines hold the file's bytes and an end for each line: room for nearly all of them at once.
    lines.text.reserve((size_t)pFile->GetSize() + pFile->GetSize() / 8 + 16);
    lines.lines.reserve((size_t)pFile->GetSize() / 32 + 16);
    while (NextHashLine(pFile, *pLine)) {
        lines.lines.emplace_back(lines.text.size(), pLine->nNumber);
        lines.text.append(pLine->pszHash, strlen(pLine->pszHash) + 1);
    }
}

std::string_view Trimmed(const char* pBegin, const char* pEnd)
{
    while (pBegin < pEnd && IsWhiteByte((unsigned char)*pBegin))
        pBegin++;
    while (pEnd > pBegin && IsWhiteByte((unsigned char)pEnd[-1]))
        pEnd--;
    return std::string_view(pBegin, (size_t)(pEnd - pBegin));
}

// The comma-separated fields of the text, each trimmed; empty ones are kept. They are views of
// the text: a field is copied only where it is kept.
void SplitTokens(const char* pszText, rvm::vector<std::string_view>& tokens)
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

// No field is kept longer than this.
std::string_view Clipped(std::string_view token)
{
    return token.size() > STAGE_FIELD_MAX ? token.substr(0, STAGE_FIELD_MAX) : token;
}

bool StartsWith(const char* pszText, const char* pszHead)
{
    return strncmp(pszText, pszHead, strlen(pszHead)) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The bytes IsWhiteByte takes for white space.
const char kWhiteBytes[] = " \t\r\n\x81\x40";

struct ATTRWORD {
    const char* pszWord;
    DWORD dwBits;
};

// The attribute words of an object line, in strcmp order.
const ATTRWORD kAttrWords[] = {
    {"50%BLT", OBJATTR_50BLT},      {"ADDBLT", OBJATTR_ADDBLT},     {"CRUSH00", OBJATTR_CRUSH00},
    {"CRUSH16", OBJATTR_CRUSH16},   {"CRUSH32", OBJATTR_CRUSH32},   {"CRUSH48", OBJATTR_CRUSH48},
    {"CRUSH64", OBJATTR_CRUSH64},   {"DAMAGE", OBJATTR_DAMAGE},     {"MOVEDOWN", OBJATTR_MOVEDOWN},
    {"MOVEUP", OBJATTR_MOVEUP},     {"NOTOUCH", OBJATTR_NOTOUCH},   {"NOTRANCE", (DWORD)OBJATTR_NOTRANCE},
    {"RIDEON", OBJATTR_RIDEON},     {"RUNDOWN1", OBJATTR_RUNDOWN1}, {"RUNDOWN2", OBJATTR_RUNDOWN2},
    {"RUNDOWN3", OBJATTR_RUNDOWN3}, {"RUNUP1", OBJATTR_RUNUP1},     {"RUNUP2", OBJATTR_RUNUP2},
    {"RUNUP3", OBJATTR_RUNUP3},     {"TOUCH", OBJATTR_TOUCH},
};

// The bits of an attribute word (in capitals); null for a word that is none.
const ATTRWORD* FindAttrWord(const char* pszWord)
{
    const ATTRWORD* pEnd = kAttrWords + sizeof(kAttrWords) / sizeof(kAttrWords[0]);
    const ATTRWORD* p = std::lower_bound(kAttrWords, pEnd, pszWord, [](const ATTRWORD& w, const char* pszKey) {
        return strcmp(w.pszWord, pszKey) < 0;
    });
    return p != pEnd && strcmp(p->pszWord, pszWord) == 0 ? p : nullptr;
}

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
    STAGELINES lines;
    ReadHashLines(pFile, lines);
    FileClose(pFile);
    ReadDirectives(lines);
    ReadMapRows(lines);
    ReadGroups(lines);
    ResolveGroupRefs();
    ApplyLayerSpeeds();
    for (int i = 0; i < BG_NUM; i++)
        m_vVelocityInit[i] = m_vVelocity[i];
    return 1;
}

int CStageData::ReadDirectives(const STAGELINES& lines)
{
    rvm::vector<std::string_view> fields;
    rvm::vector<rvm::string> values;
    for (size_t n = 0; n < lines.Count(); n++) {
        const char* pszHash = lines.Line(n);
        const char* pKey = pszHash + 1;
        // The keyword ends at the first white byte (see IsWhiteByte). Most '#' lines are map
        // lines, which have none: the library's scan passes over them at once.
        const char* pKeyEnd = pKey + strcspn(pKey, kWhiteBytes);
        if (!*pKeyEnd || pKeyEnd == pKey)
            continue;
        if (pKeyEnd - pKey > STAGE_FIELD_MAX)
            continue;
        char szKeyword[STAGE_FIELD_MAX + 1];
        memcpy(szKeyword, pKey, (size_t)(pKeyEnd - pKey));
        szKeyword[pKeyEnd - pKey] = 0;
        SplitTokens(pKeyEnd, fields);
        // The strings of the line before are written over: most lines have as many values.
        size_t nValues = 0;
        for (std::string_view field : fields) {
            if (field.empty())
                continue;
            if (nValues < values.size())
                values[nValues].assign(Clipped(field));
            else
                values.emplace_back(Clipped(field));
            nValues++;
        }
        values.resize(nValues);
        if (!ParseDirective(szKeyword, values)) {
            const std::string_view text = Trimmed(pszHash, pszHash + strlen(pszHash));
            Report(3, "ERROR 13 : オブジェクトの定義でエラーが発生しました [(%d) %.*s]\n", lines.Number(n),
                   (int)text.size(), text.data());
        }
    }
    return 1;
}

void CStageData::StoreObject(const rvm::string& code, CObject* pObj)
{
    auto it = m_Objects.lower_bound(code);
    DebugPrintf("Object : %s\n", code.c_str());
    if (it == m_Objects.end() || it->first != code) {
        m_Objects.emplace_hint(it, code, pObj);
        return;
    }
    Report(3, "ERROR 4 : 同じ名前のオブジェが存在します [%s]\n", code.c_str());
    // Animations defined earlier may still show the old type: it lives until Unload.
    m_RetiredObjects.push_back(it->second);
    it->second = pObj;
}

int CStageData::ParseDirective(const char* pszKeyword, const rvm::vector<rvm::string>& values)
{
    // The type's code: the keyword's last two bytes, or all of a shorter one.
    const size_t nKeyword = strlen(pszKeyword);
    const rvm::string code(nKeyword >= 2 ? pszKeyword + nKeyword - 2 : pszKeyword);
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
        const ATTRWORD* pWord = FindAttrWord(word.c_str());
        if (!pWord) {
            Report(3, "ERROR 2 : 属性がみつかりません [%s]\n", word.c_str());
            continue;
        }
        pObj->SetAttribute(pObj->GetAttribute() | pWord->dwBits);
    }
    pObj->AddNoTouch();
    if (!pObj->CheckAttribute())
        Report(3, "ERROR 3 : 属性の組み合わせが不正です [%s]\n", pObj->GetName());
    // The type as the trace shows it is put together only for a session that logs.
    if (GetLoggingFlag())
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

int CStageData::ReadMapRows(const STAGELINES& lines)
{
    rvm::vector<std::string_view> tokens;
    for (size_t n = 0; n < lines.Count(); n++) {
        const char* pszHash = lines.Line(n);
        int nScreen = 0, nLayer = 0, nRow = 0;
        const char* pszTokens = nullptr;
        if (!ParseMapLine(pszHash, &nScreen, &nLayer, &nRow, &pszTokens)) {
            if (strnlen(pszHash, 8) >= 8 && pszHash[7] == ':')
                Report(3, "WARNING : 行の見出しが不正です (%d)\n", lines.Number(n));
            continue;
        }
        if (nLayer == STAGE_EVENT_LAYER && nRow == 0)
            continue;
        SplitTokens(pszTokens, tokens);
        for (size_t i = 0; i < tokens.size(); i++) {
            const std::string_view token = Clipped(tokens[i]);
            if (token.empty())
                continue;
            int s = nScreen + (int)i;
            if (nLayer == STAGE_EVENT_LAYER) {
                m_Events[s].emplace_back(token);
            } else if (nRow == 0) {
                m_GroupRefs.push_back(STAGEGROUPREF{rvm::string(token), s, nLayer});
            } else {
                int nIndex = MAX_ROW_NUM - nRow;
                AppendRow(nLayer, nIndex, MakeRow(s, nLayer, nIndex, token));
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

int CStageData::ReadGroups(const STAGELINES& lines)
{
    rvm::vector<STAGEROW*> pending[MAX_ROW_NUM];
    rvm::vector<std::string_view> tokens;
    auto clearPending = [&pending]() {
        for (auto& rows : pending) {
            for (STAGEROW* p : rows)
                delete p;
            rows.clear();
        }
    };
    for (size_t n = 0; n < lines.Count(); n++) {
        int nScreen = 0, nLayer = 0, nRow = 0;
        const char* pszTokens = nullptr;
        if (!ParseMapLine(lines.Line(n), &nScreen, &nLayer, &nRow, &pszTokens))
            continue;
        if (nLayer != STAGE_EVENT_LAYER || nRow < 0 || nRow > MAX_ROW_NUM)
            continue;
        SplitTokens(pszTokens, tokens);
        if (nRow > 0) {
            for (std::string_view token : tokens) {
                int nIndex = MAX_ROW_NUM - nRow;
                pending[nIndex].push_back(new STAGEROW{-1, STAGE_EVENT_LAYER, nIndex, rvm::string(Clipped(token)), 0});
            }
            continue;
        }
        // A group's name is taken whole, however long.
        for (size_t k = 0; k < tokens.size(); k++)
            AddGroup(rvm::string(tokens[k]), pending, k);
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
            STAGEROW record = MakeRow(ref.nScreen, ref.nLayer, r, pSlot->text);
            if (!pSlot->text.empty() && (int)pSlot->text.size() != 2 * ColumnsPerScreen(ref.nLayer))
                Report(7, "ERROR 14 : グループの参照で要素の長さがレイヤーと合っていません [GROUP=%s を LAYER=%c で使用しました]\n",
                       ref.name.c_str(), LetterFromLayer(ref.nLayer));
            SetRow(ref.nLayer, r, std::move(record));
        }
    }
    return 1;
}

void CStageData::PadRow(rvm::string& out, int nScreen, int nLayer, std::string_view token)
{
    if (nLayer == STAGE_EVENT_LAYER) {
        out.assign(token);
        return;
    }
    size_t nLength = token.size();
    if (nLength % 2) {
        // Half a code would shift every later code of the row by one byte.
        Report(3, "WARNING : コードの長さが奇数です [(#%03d%c) %.*s]\n", nScreen, LetterFromLayer(nLayer),
               (int)token.size(), token.data());
        nLength--;
    }
    int n = (int)nLength / 2;
    int nLimit = nScreen == 0 ? MAX_COLUMN_NUM : ColumnsPerScreen(nLayer);
    if (nLimit < 0)
        nLimit = 0;
    // The codes and the empty cells that fill the screen, in one block.
    out.reserve((size_t)(n > nLimit ? n : nLimit) * 2);
    out.assign(token.data(), nLength);
    if (n < nLimit) {
        out.append((size_t)(nLimit - n) * 2, '0');
    } else if (n > nLimit) {
        // Kept whole: the extra codes run on into the next screen's columns and push every later
        // screen of the row to the right, as the map's author wrote them.
        Report(3, "ERROR 8 : オブジェの数が多すぎます [(#%03d%c) %.*s]\n", nScreen, LetterFromLayer(nLayer),
               (int)token.size(), token.data());
    }
}

STAGEROW CStageData::MakeRow(int nScreen, int nLayer, int nRow, std::string_view token)
{
    STAGEROW record{nScreen, nLayer, nRow, rvm::string(), 0};
    PadRow(record.text, nScreen, nLayer, token);
    return record;
}

rvm::vector<STAGEROW>* CStageData::RowsFor(int nLayer, int nRow)
{
    if (nLayer < 0 || nLayer >= BG_NUM || nRow < 0 || nRow >= MAX_ROW_NUM)
        return nullptr;
    return &m_Rows[nLayer][nRow];
}

void CStageData::AppendRow(int nLayer, int nRow, STAGEROW&& record)
{
    rvm::vector<STAGEROW>* pRows = RowsFor(nLayer, nRow);
    if (!pRows)
        return;
    // The screens the row skipped are empty ones, each padded to the layer's columns. Room for
    // them is made at once, but never to the exact size: rows that skip screens again and again
    // would move every record each time.
    const size_t nNeeded = (size_t)record.nScreen + 1;
    if (record.nScreen > (int)pRows->size() && nNeeded > pRows->capacity())
        pRows->reserve(std::max(nNeeded, 2 * pRows->capacity()));
    for (int c = (int)pRows->size(); c < record.nScreen; c++)
        pRows->push_back(MakeRow(c, nLayer, nRow, std::string_view()));
    pRows->push_back(std::move(record));
}

void CStageData::SetRow(int nLayer, int nRow, STAGEROW&& record)
{
    rvm::vector<STAGEROW>* pRows = RowsFor(nLayer, nRow);
    if (!pRows)
        return;
    if (record.nScreen >= 0 && (int)pRows->size() > record.nScreen) {
        (*pRows)[record.nScreen] = std::move(record);
        return;
    }
    AppendRow(nLayer, nRow, std::move(record));
}

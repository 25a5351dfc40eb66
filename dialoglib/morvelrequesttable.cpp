#include "morvelrequesttable.h"

#include <cstring>

namespace
{

// Titles 20010 to 20023 in the order of the table, filter texts from 20150.
std::vector<MorvelRequestTable::Row> buildRows()
{
    using F = MorvelRequestTable::Filter;
    const F xpp{20150, 20151}, exe{20152, 20153}, scr{20154, 20155}, allShows{20156, 20157},
        all{20158, 20159};
    const F bmp{20160, 20161}, gif{20162, 20163}, jpeg{20164, 20165}, png{20166, 20167}, tga{20168, 20169},
        tiff{20170, 20171}, allImages{20172, 20173};
    const F avi{20174, 20175}, mpeg{20176, 20177}, mov{20178, 20179}, allMovies{20180, 20181};
    const F swf{20182, 20183};
    const F wav{20184, 20185}, mid{20186, 20187}, mp3{20188, 20189}, ac3{20190, 20191},
        allAudio{20192, 20193};
    const F txt{20194, 20195}, rtf{20196, 20197}, allText{20198, 20199};
    const F meta{20200, 20201};
    const F allPano{20202, 20203};
    const F xpe{20204, 20205};
    const F ppt{20206, 20207};
    return {
        {1, 20010, false, 4, "LoadPath", "LoadType", true, {xpp, exe, scr, allShows, all}},
        {2, 20011, true, 2, "SavePath", "SaveType", true, {xpp, exe, scr}},
        {3,
         20012,
         false,
         7,
         "ImagePath",
         "ImageType",
         true,
         {bmp, gif, jpeg, png, tga, tiff, allImages, all}},
        {4, 20013, false, 4, "MoviePath", "MovieType", true, {avi, mpeg, mov, allMovies, all}},
        {15, 20014, false, 1, "FlashPath", "FlashType", true, {swf, all}},
        {6, 20015, false, 5, "AudioPath", "AudioType", true, {wav, mid, mp3, ac3, allAudio, all}},
        {7, 20016, false, 3, "TextPath", "TextType", true, {txt, rtf, allText, all}},
        {10, 20017, false, 1, "TextPath", "TextType", true, {txt, all}},
        {8, 20018, false, 1, "ClipartPath", "ClipartType", true, {meta, all}},
        {9, 20019, false, 1, "DocuPath", "DocuType", true, {all}},
        {11, 20020, false, 6, "PanoPath", "PanoType", true, {bmp, jpeg, png, tga, tiff, allPano, all}},
        {12, 20021, true, 1, "SavePath", "SaveType", true, {xpe, all}},
        {13, 20022, true, 1, "SavePath", "SaveType", false, {all}},
        {14, 20023, false, 2, "ImportPath", "ImportType", true, {ppt, all}},
    };
}

} // namespace

const std::vector<MorvelRequestTable::Row> &MorvelRequestTable::rows()
{
    static const std::vector<Row> table = buildRows();
    return table;
}

const MorvelRequestTable::Row *MorvelRequestTable::find(int32_t id)
{
    for (const Row &row : rows()) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

std::string MorvelRequestTable::defaultExtension(const std::string &pattern)
{
    const std::string first = pattern.substr(0, pattern.find(';'));
    if (first.size() < 3 || first.compare(0, 2, "*.") != 0)
        return {};
    const std::string extension = first.substr(2);
    if (extension.find_first_of("*?.") != std::string::npos)
        return {};
    return extension;
}

std::string MorvelRequestTable::initialSaveName(const char *name, bool stripExtension)
{
    if (!name)
        return {};
    std::string result(name, strnlen(name, kAreaSize - 1));
    if (stripExtension && result.size() >= 4 && result[result.size() - 4] == '.')
        result.resize(result.size() - 4);
    return result;
}

uint8_t MorvelRequestTable::startFilter(const Row &row, bool remembered, uint8_t value)
{
    if (remembered && value >= 1 && value <= row.filters.size())
        return value;
    return row.defaultFilter;
}

std::string MorvelRequestTable::folderOfChoice(const std::string &path, size_t fileOffset)
{
    if (fileOffset == 0 || fileOffset > path.size())
        return {};
    std::string folder = path.substr(0, fileOffset);
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

bool MorvelRequestTable::filterList(const std::vector<std::string> &texts, std::string &list)
{
    list.clear();
    for (const std::string &text : texts) {
        list += text;
        list += '\0';
    }
    list += '\0';
    return list.size() <= kAreaSize;
}

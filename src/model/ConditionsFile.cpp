#include "ConditionsFile.h"

#include "platform/AtomicFile.h"
#include "platform/CFile.h"
#include "platform/NumberText.h"
#include "platform/ShipLock.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <initializer_list>
#include <utility>

namespace {

// Insertion order kept, so that the file reads in the order it was
// written: name first.
using Json = nlohmann::ordered_json;

inline constexpr int kFormat = 1;
inline constexpr const char* kExtension = ".nav";
inline constexpr const char* kSuffix = ".conditions.json";

// A JSON value's kind with its article ("a string", "an object"), in both
// tongues.
CMessage Article(const Json& j) {
    if (j.is_null())
        return Verbatim("null");
    const std::string type = j.type_name();
    if (type == "object")
        return {"an object", "un oggetto"};
    if (type == "array")
        return {"an array", "un array"};
    if (type == "string")
        return {"a string", "una stringa"};
    if (type == "number")
        return {"a number", "un numero"};
    if (type == "boolean")
        return {"a boolean", "un booleano"};
    return Verbatim("a " + type);
}

// Reads one file's JSON, each refusal naming where in the file it is
// ("condition 2 ('Arrivo'): tank 1: ...").
class CReader {
public:
    explicit CReader(std::string source) : m_source(std::move(source)) {}

    [[noreturn]] void Fail(const CMessage& where, const CMessage& what) const {
        throw CFileException(CFileException::damaged, m_source,
                             where.english.empty() ? what : where + Verbatim(": ") + what);
    }

    // An object of the keys allowed, else refused naming the first other.
    void Object(const Json& j, const CMessage& where, std::initializer_list<const char*> keys) {
        if (!j.is_object())
            Fail(where, CMessage("is ", "è ") + Article(j) +
                            CMessage(", not an object", ", non un oggetto"));
        for (const auto& [key, value] : j.items()) {
            bool known = false;
            for (const char* k : keys)
                known = known || key == k;
            if (!known)
                Fail(where,
                     BRELUND_SAY("unknown key %s", "chiave sconosciuta %s", QuotedText(key).c_str()));
        }
    }

    const Json* Member(const Json& j, const char* key, const CMessage& where, bool required) {
        const auto at = j.find(key);
        if (at == j.end()) {
            if (required)
                Fail(where, BRELUND_SAY("no \"%s\"", "manca \"%s\"", key));
            return nullptr;
        }
        return &*at;
    }

    double Number(const Json& j, const char* key, const CMessage& where) {
        return NumberOf(*Member(j, key, where, true), key, where);
    }

    double NumberOr(const Json& j, const char* key, const CMessage& where, double otherwise) {
        const Json* m = Member(j, key, where, false);
        return m ? NumberOf(*m, key, where) : otherwise;
    }

    double NumberOf(const Json& j, const char* key, const CMessage& where) {
        if (!j.is_number())
            Fail(where, WrongType(key, j, {", not a number", ", non un numero"}));
        return j.get<double>();
    }

    std::string Text(const Json& j, const char* key, const CMessage& where) {
        const Json& m = *Member(j, key, where, true);
        if (!m.is_string())
            Fail(where, WrongType(key, m, {", not a string", ", non una stringa"}));
        return m.get<std::string>();
    }

    const Json* Array(const Json& j, const char* key, const CMessage& where, bool required) {
        const Json* m = Member(j, key, where, required);
        if (m && !m->is_array())
            Fail(where, WrongType(key, *m, {", not an array", ", non un array"}));
        return m;
    }

private:
    // "KEY is a string, not a number".
    static CMessage WrongType(const char* key, const Json& j, const CMessage& expected) {
        return BRELUND_SAY("%s is ", "%s è ", key) + Article(j) + expected;
    }

    std::string m_source;
};

// A parser's refusal: its own words, less its tag, after the place it
// names ("at line 2, column 8: ..."), which is put in Italian.
CMessage ParserWords(const std::string& what) {
    const std::string english = EscapeText(what);
    unsigned long line = 0, column = 0;
    int used = 0;
    if (std::sscanf(what.c_str(), "at line %lu, column %lu: %n", &line, &column, &used) == 2 &&
        used > 0)
        return {english,
                FormatC("alla riga %lu, colonna %lu, secondo il lettore JSON: ", line, column) +
                    EscapeText(what.substr(static_cast<std::size_t>(used)))};
    return {english, "secondo il lettore JSON: " + english};
}

CLoadingCondition ReadCondition(CReader& r, const Json& j, const CMessage& where) {
    if (!j.is_object())
        r.Fail(where, CMessage("is ", "è ") + Article(j) +
                          CMessage(", not an object", ", non un oggetto"));
    CLoadingCondition c;
    c.name = r.Text(j, "name", where);
    const CMessage named = where + Verbatim(" (" + QuotedText(c.name) + ")");
    r.Object(j, named,
             {"name", "lightship", "items", "tanks", "water_density_t_m3", "flooding_angle_deg"});
    const Json& light = *r.Member(j, "lightship", named, true);
    const CMessage lightWhere = named + Verbatim(": lightship");
    r.Object(light, lightWhere, {"weight_t", "lcg_m", "tcg_m", "vcg_m"});
    c.lightship = r.Number(light, "weight_t", lightWhere);
    c.lcg = r.Number(light, "lcg_m", lightWhere);
    c.tcg = r.NumberOr(light, "tcg_m", lightWhere, 0);
    c.vcg = r.Number(light, "vcg_m", lightWhere);
    if (const Json* items = r.Array(j, "items", named, false))
        for (std::size_t i = 0; i < items->size(); ++i) {
            const Json& item = (*items)[i];
            const CMessage at = named + BRELUND_SAY(": item %zu", ": voce %zu", i + 1);
            r.Object(item, at, {"name", "weight_t", "x_m", "y_m", "z_m"});
            c.items.push_back({r.Text(item, "name", at), r.Number(item, "weight_t", at),
                               r.Number(item, "x_m", at), r.Number(item, "y_m", at),
                               r.Number(item, "z_m", at)});
        }
    if (const Json* tanks = r.Array(j, "tanks", named, false))
        for (std::size_t i = 0; i < tanks->size(); ++i) {
            const Json& tank = (*tanks)[i];
            const CMessage at = named + BRELUND_SAY(": tank %zu", ": cassa n. %zu", i + 1);
            r.Object(tank, at, {"tank", "filling_ratio", "volume_m3", "density_t_m3"});
            CConditionTankLoad t;
            t.tank = r.Text(tank, "tank", at);
            const bool filling = tank.contains("filling_ratio"),
                       volume = tank.contains("volume_m3");
            if (filling == volume)
                r.Fail(at, filling ? CMessage("both filling_ratio and volume_m3: give one",
                                              "sia filling_ratio sia volume_m3: se ne dia uno")
                                   : CMessage("no \"filling_ratio\" or \"volume_m3\"",
                                              "manca \"filling_ratio\" o \"volume_m3\""));
            t.given =
                filling ? CConditionTankLoad::Given::filling : CConditionTankLoad::Given::volume;
            t.amount = r.Number(tank, filling ? "filling_ratio" : "volume_m3", at);
            t.density = r.Number(tank, "density_t_m3", at);
            c.tanks.push_back(std::move(t));
        }
    c.water_density = r.NumberOr(j, "water_density_t_m3", named, 1.025);
    if (const Json* f = r.Member(j, "flooding_angle_deg", named, false); f && !f->is_null())
        c.flooding = r.NumberOf(*f, "flooding_angle_deg", named);
    if (const CMessage fault = ConditionFaultMessage(c); !fault.english.empty())
        r.Fail(named, fault);
    return c;
}

Json ConditionJson(const CLoadingCondition& c) {
    Json j;
    j["name"] = c.name;
    j["lightship"] = {
        {"weight_t", c.lightship}, {"lcg_m", c.lcg}, {"tcg_m", c.tcg}, {"vcg_m", c.vcg}};
    Json items = Json::array();
    for (const CDeadweightItem& item : c.items)
        items.push_back({{"name", item.name},
                         {"weight_t", item.weight},
                         {"x_m", item.x},
                         {"y_m", item.y},
                         {"z_m", item.z}});
    j["items"] = std::move(items);
    Json tanks = Json::array();
    for (const CConditionTankLoad& t : c.tanks) {
        Json tank;
        tank["tank"] = t.tank;
        tank[t.given == CConditionTankLoad::Given::filling ? "filling_ratio" : "volume_m3"] =
            t.amount;
        tank["density_t_m3"] = t.density;
        tanks.push_back(std::move(tank));
    }
    j["tanks"] = std::move(tanks);
    j["water_density_t_m3"] = c.water_density;
    if (c.flooding)
        j["flooding_angle_deg"] = *c.flooding;
    return j;
}

} // namespace

std::string ConditionsPathOf(const std::string& shipPath) {
    const std::string extension = kExtension;
    const std::size_t slash = shipPath.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    if (shipPath.size() >= name + extension.size() &&
        shipPath.compare(shipPath.size() - extension.size(), extension.size(), extension) == 0)
        return shipPath.substr(0, shipPath.size() - extension.size()) + kSuffix;
    return shipPath + kSuffix;
}

CLoadingConditions ReadConditionsText(const std::string& text, const std::string& source) {
    CReader r(source);
    const CMessage notJson("not JSON text: ", "non è testo JSON: ");
    Json j;
    try {
        j = Json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 2, column
        // 8: ..." less its tag; the text it quotes may hold any byte.
        std::string what = e.what();
        const std::string tag = "parse error ";
        if (const std::size_t at = what.find(tag); at != std::string::npos)
            what = what.substr(at + tag.size());
        r.Fail({}, notJson + ParserWords(what));
    } catch (const nlohmann::json::exception& e) {
        std::string what = e.what();
        if (const std::size_t at = what.find("] "); at != std::string::npos)
            what = what.substr(at + 2);
        r.Fail({}, notJson + ParserWords(what));
    }
    const CMessage file("the file", "il file");
    if (!j.is_object())
        r.Fail({}, file + CMessage(" is ", " è ") + Article(j) +
                       CMessage(", not an object", ", non un oggetto"));
    // The version first: another one may have keys of its own.
    const Json* format = r.Member(j, "format", file, true);
    if (!format->is_number_integer() || format->get<long long>() != kFormat)
        r.Fail({}, BRELUND_SAY("format %s is not one this version reads (format %d)",
                               "il formato %s non è tra quelli che questa versione legge "
                               "(formato %d)",
                               EscapeText(format->dump()).c_str(), kFormat));
    r.Object(j, file, {"format", "conditions"});
    CLoadingConditions conditions;
    const Json& list = *r.Array(j, "conditions", file, true);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const CMessage where = BRELUND_SAY("condition %zu", "condizione %zu", i + 1);
        CLoadingCondition c = ReadCondition(r, list[i], where);
        const std::string name = c.name;
        if (!conditions.Add(std::move(c)))
            r.Fail(where, BRELUND_SAY("the name %s is that of an earlier condition",
                                      "il nome %s è quello di una condizione precedente",
                                      QuotedText(name).c_str()));
    }
    return conditions;
}

std::string ConditionsText(const CLoadingConditions& conditions, const std::string& source) {
    Json j;
    j["format"] = kFormat;
    j["conditions"] = Json::array();
    for (const CLoadingCondition& c : conditions.All()) {
        const CMessage named =
            BRELUND_SAY("condition %s: ", "condizione %s: ", QuotedText(c.name).c_str());
        if (const CMessage fault = ConditionFaultMessage(c); !fault.english.empty())
            throw CFileException(CFileException::generic, source, named + fault);
        Json one = ConditionJson(c);
        try {
            one.dump();
        } catch (const nlohmann::json::exception&) {
            throw CFileException(CFileException::generic, source,
                                 named + CMessage("a name in it is not UTF-8 text, which JSON "
                                                  "holds",
                                                  "contiene un nome che non è testo UTF-8, il "
                                                  "solo che JSON ammette"));
        }
        j["conditions"].push_back(std::move(one));
    }
    return j.dump(2) + "\n";
}

bool LoadConditionsFile(const std::string& shipPath, CLoadingConditions& conditions) {
    const std::string path = ConditionsPathOf(shipPath);
    const CShipLock lock(shipPath, CShipLock::shared);
    std::string text;
    try {
        CFile file(path, CFile::modeRead);
        text.resize(static_cast<std::size_t>(file.GetLength()));
        text.resize(file.Read(text.data(), text.size()));
    } catch (const CFileException& e) {
        if (e.m_cause != CFileException::fileNotFound)
            throw;
        conditions = CLoadingConditions();
        return false;
    }
    conditions = ReadConditionsText(text, path);
    return true;
}

void StoreConditionsFile(const CLoadingConditions& conditions, const std::string& shipPath) {
    const std::string path = ConditionsPathOf(shipPath);
    const std::string text = ConditionsText(conditions, path);
    const CShipLock lock(shipPath, CShipLock::exclusive);
    WriteFileAtomically(path, [&](CFile& file) { file.Write(text.data(), text.size()); },
                        {.kind = "conditions file"});
}

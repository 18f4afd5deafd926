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

    bool BooleanOr(const Json& j, const char* key, const CMessage& where, bool otherwise) {
        const Json* m = Member(j, key, where, false);
        if (!m)
            return otherwise;
        if (!m->is_boolean())
            Fail(where, WrongType(key, *m, {", not a boolean", ", non un booleano"}));
        return m->get<bool>();
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
             {"name", "lightship", "items", "tanks", "water_density_t_m3", "flooding_angle_deg",
              "windage", "bilge_keel_area_m2", "sharp_bilges"});
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
    if (const Json* windage = r.Array(j, "windage", named, false))
        for (std::size_t i = 0; i < windage->size(); ++i) {
            const Json& w = (*windage)[i];
            const CMessage at =
                named + BRELUND_SAY(": windage item %zu", ": superficie al vento %zu", i + 1);
            r.Object(w, at, {"name", "area_m2", "height_m"});
            c.windage.push_back(
                {r.Text(w, "name", at), r.Number(w, "area_m2", at), r.Number(w, "height_m", at)});
        }
    c.bilge_keel_area = r.NumberOr(j, "bilge_keel_area_m2", named, 0);
    c.sharp_bilges = r.BooleanOr(j, "sharp_bilges", named, false);
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
    // The weather criterion's keys only when they say something, so that a
    // condition without them is written as before.
    if (!c.windage.empty()) {
        Json windage = Json::array();
        for (const CWindageItem& w : c.windage)
            windage.push_back({{"name", w.name}, {"area_m2", w.area}, {"height_m", w.height}});
        j["windage"] = std::move(windage);
    }
    if (c.bilge_keel_area != 0)
        j["bilge_keel_area_m2"] = c.bilge_keel_area;
    if (c.sharp_bilges)
        j["sharp_bilges"] = true;
    return j;
}

// The openings, damage cases and sounding pipes of the file j into
// conditions, each checked as it is read.
void ReadShipData(CReader& r, const Json& j, const CMessage& file, CLoadingConditions& conditions) {
    if (const Json* list = r.Array(j, "openings", file, false))
        for (std::size_t i = 0; i < list->size(); ++i) {
            const Json& o = (*list)[i];
            const CMessage at = BRELUND_SAY("opening %zu", "apertura %zu", i + 1);
            r.Object(o, at, {"name", "x_m", "y_m", "z_m", "weathertight"});
            conditions.Openings().push_back({r.Text(o, "name", at), r.Number(o, "x_m", at),
                                             r.Number(o, "y_m", at), r.Number(o, "z_m", at),
                                             r.BooleanOr(o, "weathertight", at, false)});
        }
    if (const Json* list = r.Array(j, "damage_cases", file, false))
        for (std::size_t i = 0; i < list->size(); ++i) {
            const Json& d = (*list)[i];
            const CMessage at = BRELUND_SAY("damage case %zu", "caso di avaria %zu", i + 1);
            r.Object(d, at, {"name", "compartments", "bulkhead_deck_m"});
            CDamageCase damage;
            damage.name = r.Text(d, "name", at);
            const Json& open = *r.Array(d, "compartments", at, true);
            for (std::size_t k = 0; k < open.size(); ++k) {
                const CMessage cat = at + BRELUND_SAY(": compartment %zu", ": compartimento %zu", k + 1);
                r.Object(open[k], cat, {"compartment", "permeability"});
                CDamagedCompartment c;
                c.compartment = r.Text(open[k], "compartment", cat);
                if (const Json* p = r.Member(open[k], "permeability", cat, false); p && !p->is_null())
                    c.permeability = r.NumberOf(*p, "permeability", cat);
                damage.compartments.push_back(std::move(c));
            }
            if (const Json* deck = r.Member(d, "bulkhead_deck_m", at, false); deck && !deck->is_null())
                damage.bulkhead_deck = r.NumberOf(*deck, "bulkhead_deck_m", at);
            conditions.DamageCases().push_back(std::move(damage));
        }
    if (const Json* list = r.Array(j, "sounding_pipes", file, false))
        for (std::size_t i = 0; i < list->size(); ++i) {
            const Json& p = (*list)[i];
            const CMessage at = BRELUND_SAY("sounding pipe %zu", "tubo di sonda %zu", i + 1);
            r.Object(p, at,
                     {"tank", "x_m", "y_m", "z_m", "direction_x", "direction_y", "direction_z"});
            conditions.SoundingPipes().push_back(
                {r.Text(p, "tank", at), r.Number(p, "x_m", at), r.Number(p, "y_m", at),
                 r.Number(p, "z_m", at), r.Number(p, "direction_x", at),
                 r.Number(p, "direction_y", at), r.Number(p, "direction_z", at)});
        }
    if (const CMessage fault = conditions.ShipDataFault(); !fault.english.empty())
        r.Fail({}, fault);
}

// The openings, damage cases and sounding pipes into j, each list only
// when it has any, so that a file without them reads as before.
void WriteShipData(const CLoadingConditions& conditions, Json& j) {
    if (!conditions.Openings().empty()) {
        Json list = Json::array();
        for (const COpening& o : conditions.Openings())
            list.push_back({{"name", o.name},
                            {"x_m", o.x},
                            {"y_m", o.y},
                            {"z_m", o.z},
                            {"weathertight", o.weathertight}});
        j["openings"] = std::move(list);
    }
    if (!conditions.DamageCases().empty()) {
        Json list = Json::array();
        for (const CDamageCase& d : conditions.DamageCases()) {
            Json damage;
            damage["name"] = d.name;
            Json open = Json::array();
            for (const CDamagedCompartment& c : d.compartments) {
                Json one;
                one["compartment"] = c.compartment;
                if (c.permeability)
                    one["permeability"] = *c.permeability;
                open.push_back(std::move(one));
            }
            damage["compartments"] = std::move(open);
            if (d.bulkhead_deck)
                damage["bulkhead_deck_m"] = *d.bulkhead_deck;
            list.push_back(std::move(damage));
        }
        j["damage_cases"] = std::move(list);
    }
    if (!conditions.SoundingPipes().empty()) {
        Json list = Json::array();
        for (const CSoundingPipe& p : conditions.SoundingPipes())
            list.push_back({{"tank", p.tank},
                            {"x_m", p.x},
                            {"y_m", p.y},
                            {"z_m", p.z},
                            {"direction_x", p.dx},
                            {"direction_y", p.dy},
                            {"direction_z", p.dz}});
        j["sounding_pipes"] = std::move(list);
    }
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
    r.Object(j, file, {"format", "conditions", "openings", "damage_cases", "sounding_pipes"});
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
    ReadShipData(r, j, file, conditions);
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
    if (const CMessage fault = conditions.ShipDataFault(); !fault.english.empty())
        throw CFileException(CFileException::generic, source, fault);
    WriteShipData(conditions, j);
    try {
        return j.dump(2) + "\n";
    } catch (const nlohmann::json::exception&) {
        throw CFileException(CFileException::generic, source,
                             CMessage("a name of an opening, damage case, compartment or tank is "
                                      "not UTF-8 text, which JSON holds",
                                      "un nome di apertura, caso di avaria, compartimento o cassa "
                                      "non è testo UTF-8, il solo che JSON ammette"));
    }
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

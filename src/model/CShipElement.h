// An element of the ship: a list of closed meshes with a name, a display
// colour and an enabled flag. Hull elements are plain CShipElement objects;
// compartments and tanks derive from it.
#pragma once

#include "CMesh.h"
#include "COwningList.h"
#include "SearchStatus.h"

#include <cstdint>
#include <string>

// Element kind codes, wherever the model and the user interface exchange an element.
enum ElementKind { kindHull = 1, kindCompartment = 2, kindTank = 3 };

// 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour kHullColour = 0x808080;
inline constexpr Colour kCompartmentColour = 0xC00000;
inline constexpr Colour kTankColour = 0x0000C0;

class CDxfFile;

class CExactSums;
class CHydroProperties;
struct COnePointRule;
class CSectionContour;
class CMatrixBase;

class CShipElement : public COwningList<CMesh> {
public:
    CShipElement() = default;
    explicit CShipElement(Colour colour) : m_colour(colour) {}

    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    Colour GetColour() const { return m_colour; }
    void SetColour(Colour colour) { m_colour = colour; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    // Reverses every face of every mesh, in list order.
    void InvertNormals();
    // The enclosed volume: the fan-triangle volume of every face of every
    // mesh, in order. Negative for meshes oriented inwards.
    double Volume() const;
    // Faces over all meshes.
    long long GetFaceCount() const;

    // Hydrostatics of the element. A waterplane is given by a rotation R =
    // SetRotation(heel, trim, 0) and a draught T: each point p goes to R p
    // with z' reduced by T, and z' <= 0 is immersed. Sums run over the
    // meshes, their faces and the faces' fan triangles, in order.

    // Panel area, enclosed volume and its centroid (the zero vector when the
    // volume is 0), without a waterplane.
    void VolumeProperties(double& area, double& volume, CVector3& centroid) const;
    // Lowest and highest z' = (R p).z over every vertex; false, with the
    // outputs untouched, when the element has no vertex.
    bool ZRange(const CMatrixBase& r, double& zmin, double& zmax) const;
    // Volume below the waterplane.
    double ImmersedVolume(const CMatrixBase& r, double draught) const;
    // Resets result and fills it with the immersed part: V, S, the volume
    // moments and, when result collects, the waterline.
    void ImmersedProperties(CHydroProperties& result, double draught, const CMatrixBase& r) const;
    // The same sums by either integration rule (geometry/IntegrationRules.h):
    // every face of every mesh, in order, carried into the waterplane frame
    // and handed to Rule::Face with sums.
    template <class Rule, class Sums>
    void ImmersedSums(Sums& sums, double draught, const CMatrixBase& r) const;
    // Volume below the waterplane, and enclosed volume, by the rule.
    template <class Rule> double ImmersedVolumeBy(const CMatrixBase& r, double draught) const;
    template <class Rule> double VolumeBy() const;
    // The exact rule's sums over every panel in ship axes, no waterplane:
    // the enclosed volume, its moments and the panels' area.
    void EnclosedSums(CExactSums& sums) const;
    // The draught at which the immersed volume is target, by false position
    // between the lowest and highest z'; draught holds the last one tried.
    // A target outside (0, Volume] leaves draught as it was (outOfRange).
    // Volumes by the rule.
    template <class Rule = COnePointRule>
    SearchStatus FindLevel(double target, const CMatrixBase& r, double& draught,
                           double tolerance) const;
    // The same with the enclosed volume by the rule, known to the caller,
    // and the bracket at which the search stops (FalsePosition.h): 0 to
    // search until the tolerance is met.
    template <class Rule>
    SearchStatus FindLevel(double target, const CMatrixBase& r, double& draught, double tolerance,
                           double volume, double bracket = kLevelBracket) const;

    // Transverse sections, upright in ship axes.

    // The box of the meshes that have a vertex; false when none has.
    bool Extents(CVector3& min, CVector3& max) const;
    // Appends every mesh's cut by the plane x = const; true when the
    // contour grew.
    bool AddSections(double x, CSectionContour& contour) const;

    // Replaces the meshes with those of the drawing from the file's
    // position on (ReadDxfMeshes): grid meshes and polyface meshes, in file
    // order. A damaged drawing raises CFileException (damaged) naming the
    // entity and the line of the fault; the element then keeps the meshes
    // it had.
    void ImportDxf(CDxfFile& file);

    // The element body of the ship file: enabled flag, colour, name, meshes.
    // A mesh whose sums would not be numbers (MeshNumberProblem) is damage,
    // refused at its type tag's byte, naming the element and the mesh.
    void Load(CFile& file);
    void Store(CFile& file) const;

private:
    std::string m_name;
    Colour m_colour = kHullColour;
    bool m_enabled = true;
};

#ifndef INVERSIONMESH_H
#define INVERSIONMESH_H

#include <array>
#include <vector>

// The structured quadrilateral mesh of a survey line in the vertical plane (x along the line, z up).
// Inside the line the columns are a fraction of the electrode spacing wide with a node on every
// electrode; the layers start thin and grow down to the depth of investigation; outside that,
// padding cells grow geometrically to several line lengths sideways and down, far enough for the
// mixed boundary condition there. The electrodes' heights shift the node columns, the shift fading
// linearly to nothing at the bottom; beyond the line's ends the surface follows the line's overall
// slope, so a line on an even slope meets no artificial bend.
// The cells inside the line and above the depth of investigation are the model parameters; a
// padding cell takes the value of the nearest parameter cell.
class InversionMesh
{
public:
    struct Options
    {
        int columnsPerSpacing = 2;
        double firstLayer = 0.25;     // thickness of the top layer, in spacings
        double layerGrowth = 1.1;
        double paddingGrowth = 1.7;
        double paddingExtent = 5.0;   // in line lengths, sideways and below the surface
    };

    struct Edge
    {
        int node0, node1;
        int cell;
        double normalX, normalZ;  // outward
        bool surface;
    };

    // Electrode positions along the line (ascending, distinct) and their heights; depth of the
    // parameter region below the surface, metres.
    static InversionMesh build(const std::vector<double>& x, const std::vector<double>& z, double depth,
                               const Options& options);
    static InversionMesh build(const std::vector<double>& x, const std::vector<double>& z, double depth)
    {
        return build(x, z, depth, Options());
    }

    int columns() const { return int(m_columnX.size()) - 1; }
    int layers() const { return int(m_layerDepth.size()) - 1; }
    int nodeCount() const { return int(m_nodeX.size()); }
    int cellCount() const { return columns() * layers(); }
    int node(int column, int layer) const { return layer * (columns() + 1) + column; }
    int cell(int column, int layer) const { return layer * columns() + column; }
    double nodeX(int node) const { return m_nodeX[node]; }
    double nodeZ(int node) const { return m_nodeZ[node]; }
    // Corner nodes of a cell: top left, top right, bottom right, bottom left.
    std::array<int, 4> cellNodes(int cell) const;
    // Element matrices of a cell for unit conductivity (bilinear, 2 x 2 Gauss points), row-major 4 x 4
    // over cellNodes(): the stiffness int grad(phi_a).grad(phi_b) and the mass int phi_a phi_b.
    const std::array<double, 16>& stiffness(int cell) const { return m_stiffness[cell]; }
    const std::array<double, 16>& mass(int cell) const { return m_mass[cell]; }
    const std::vector<Edge>& boundary() const { return m_boundary; }

    int electrodeCount() const { return int(m_electrodeNodes.size()); }
    int electrodeNode(int electrode) const { return m_electrodeNodes[electrode]; }
    // Where the mixed boundary condition measures its distances from: the line's middle, on the surface.
    double centreX() const { return m_centreX; }
    double centreZ() const { return m_centreZ; }
    double spacing() const { return m_spacing; }

    int parameterColumns() const { return m_parameterColumns; }
    int parameterLayers() const { return m_parameterLayers; }
    int parameterCount() const { return m_parameterColumns * m_parameterLayers; }
    int firstParameterColumn() const { return m_firstParameterColumn; }
    int cellParameter(int cell) const { return m_cellParameter[cell]; }
    // The mesh cell a parameter stands for.
    int parameterCell(int parameter) const;
    // The cells whose sensitivities count: the parameters' and the first few padding cells around
    // them; beyond, the data hardly see the ground.
    std::vector<int> sensitiveCells() const;

private:
    std::vector<double> m_columnX;
    std::vector<double> m_layerDepth;
    std::vector<double> m_nodeX;
    std::vector<double> m_nodeZ;
    std::vector<std::array<double, 16>> m_stiffness;
    std::vector<std::array<double, 16>> m_mass;
    std::vector<Edge> m_boundary;
    std::vector<int> m_electrodeNodes;
    std::vector<int> m_cellParameter;
    double m_centreX = 0.0;
    double m_centreZ = 0.0;
    double m_spacing = 1.0;
    int m_parameterColumns = 0;
    int m_parameterLayers = 0;
    int m_firstParameterColumn = 0;
};

#endif

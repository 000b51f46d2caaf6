// The classes of the geometry library and the renderer, for headers that only
// pass them around.
#pragma once

class c_Curve;
class c_Line;
class c_Conic;
class c_Ellipse;
class c_Circle;
class c_NURBSCurve;
class c_ConicArc;
class c_RatBezierCurve;
class c_RatQuadraticCurve;
class c_BSplineBasisFcns;

class c_Surface;
class c_Plane;
class c_Quadric;
class c_FramedQuadric;
class c_Cone;
class c_EllCone;
class c_Cylinder;
class c_EllCylinder;
class c_Sphere;
class c_Torus;
class c_NURBSSurface;

class c_IntersectionItem;
class c_IntersectionResult;

class GL_Interface;
class GL_Renderer;

#ifndef SHADER_H
#define SHADER_H

/* The renderer's published shader interface, as far as the flakeCoat shader
 * uses it: the scalar and record types, the render state and the renderer
 * functions a shader library calls. A shader library does not link against
 * the renderer: it binds these functions at run time in the module whose
 * handle the renderer passes to miSetModuleHandle. */

#ifdef __cplusplus
extern "C" {
#endif

typedef float miScalar;
typedef int miInteger;        /* 32 bits, signed */
typedef int miBoolean;        /* 0 is false, any other value true */
typedef unsigned int miUint;
typedef miUint miTag;         /* 32-bit database tag */

#define miFALSE 0
#define miTRUE 1

typedef struct miColor {
    miScalar r, g, b, a;
} miColor;

typedef struct miVector {
    miScalar x, y, z;
} miVector;

/* The function record of the shader being called. ghost_offs is the byte
 * distance from each parameter to its connection word: when it is non-zero
 * and the word at (parameter address + ghost_offs) is non-zero, the
 * parameter is fed by another shader and its value comes from mi_phen_eval. */
typedef struct miFunction {
    miTag function_decl;      /* the declaration this record instantiates */
    int ghost_offs;
} miFunction;

/* One shading sample's render state. Vectors are in one common space;
 * dir points from the ray's origin towards point (towards the surface) and
 * normal faces the side the ray came from. */
typedef struct miState {
    miVector org;             /* origin of the incoming ray */
    miVector dir;             /* direction of the incoming ray, unit length */
    double dist;              /* distance from org to point */
    miVector point;           /* the intersection being shaded */
    miVector normal;          /* interpolated shading normal, unit length */
    miVector normal_geom;     /* geometric normal, unit length */
    miVector motion;          /* the point's motion vector (zero: at rest) */
    miUint label;             /* the label of the object hit */
    miVector* tex_list;       /* texture coordinates; element 0 places 2-D textures */
    miFunction* shader;       /* the shader being called */
    miInteger reflection_level; /* reflection rays traced to reach this sample */
    void* host_context;       /* the host program's per-sample context; the
                                 renderer module hands it back to the host's
                                 services, so copies of the state carry it */
} miState;

/* The renderer functions a shader may call. The trace functions may change
 * the label, point, normal, dist and motion of the state they are given
 * (they describe the traced ray's end there); nothing else. */
miBoolean mi_compute_irradiance(miColor* result, miState* state);
miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* direction);
miBoolean mi_trace_environment(miColor* result, miState* state, miVector* direction);
miBoolean mi_sample_light(miColor* result, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light_inst, miInteger* samples);
void* mi_phen_eval(miState* state, void* parameter);
void mi_reflection_dir(miVector* direction, miState* state);
miScalar mi_noise_2d(miScalar u, miScalar v);

#ifdef __cplusplus
}
#endif

#endif

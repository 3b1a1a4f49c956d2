// A UV sphere as OBJ text, as the benchmark and the C++ tests make it
// (preview/testing/sphereObj.cpp): segments x rings quads, two triangles
// each but one at each pole, with normals; 1024 x 489 gives 999424
// triangles.
import { createWriteStream } from 'node:fs';
import { once } from 'node:events';

const g = (x) => Number(x.toPrecision(9)).toString();

export async function writeSphereObj(path, segments = 1024, rings = 489, centre = [0, 1, 0], radius = 1) {
  const out = createWriteStream(path);
  const write = async (text) => { if (!out.write(text)) await once(out, 'drain'); };
  for (let r = 0; r <= rings; ++r) {
    const latitude = (r / rings - 0.5) * Math.PI;
    let lines = '';
    for (let s = 0; s <= segments; ++s) {
      const longitude = (s / segments - 0.5) * 2 * Math.PI;
      const x = Math.cos(latitude) * Math.sin(longitude), y = Math.sin(latitude), z = Math.cos(latitude) * Math.cos(longitude);
      lines += `v ${g(centre[0] + radius * x)} ${g(centre[1] + radius * y)} ${g(centre[2] + radius * z)}\n`;
      lines += `vn ${g(x)} ${g(y)} ${g(z)}\n`;
    }
    await write(lines);
  }
  const columns = segments + 1;
  const corner = (s, r) => { const i = r * columns + s + 1; return `${i}//${i}`; };
  let triangles = 0;
  for (let r = 0; r < rings; ++r) {
    let lines = '';
    for (let s = 0; s < segments; ++s) {
      const a = corner(s, r), b = corner(s + 1, r), c = corner(s + 1, r + 1), d = corner(s, r + 1);
      if (r > 0) { lines += `f ${a} ${b} ${c}\n`; ++triangles; }
      if (r < rings - 1) { lines += `f ${a} ${c} ${d}\n`; ++triangles; }
    }
    await write(lines);
  }
  out.end();
  await once(out, 'finish');
  return triangles;
}

// Light pass: position and view direction as given.
struct Output
{
    float4 position : SV_Position;
    float4 view : NORMAL;
};

Output main(float4 position : POSITION, float4 view : NORMAL)
{
    Output o;
    o.position = position;
    o.view = view;
    return o;
}
